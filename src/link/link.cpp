#include "link/link.h"

#include <algorithm>

namespace qd718 {

void Link::Pause(Millis duration) {
  Clock& clock = GetClock();
  Micros left = duration;
  while (left.count() > 0) {
    ThrowIfCancelled();
    const Micros slice = std::min<Micros>(left, CancelSlice);
    clock.Sleep(slice);
    left -= slice;
  }
  ThrowIfCancelled();
}

}  // namespace qd718
