#include "cli/greeting.h"

#include "station/connection.h"

namespace qd718::cli {

bool Greeting(Station& station, Window& window) {
  Link& link = station.GetLink();
  bool greeted = false;
  for (int attempt = 0; attempt < GreetingAttempts && !greeted; ++attempt) {
    greeted = Identify(link, 1, station.Info);
  }
  if (!greeted) {
    window.SetEnabled(Ctl::ConnectBtn, false);
    window.MessageBox("Hello Erorr!", "Error.", MsgIcon::Error);
    ClosePort(station, window);
    return false;
  }
  // Channel 2's answer is not checked: when it is silent the identity stays channel 1's.
  Identify(link, 2, station.Info);
  return true;
}

}  // namespace qd718::cli
