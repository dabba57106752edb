#include "link/clock.h"

#include <thread>

namespace qd718 {

void SystemClock::Sleep(Micros duration) {
  if (duration.count() > 0) std::this_thread::sleep_for(duration);
}

Micros SystemClock::Now() const {
  return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now().time_since_epoch());
}

}  // namespace qd718
