#include "cli/exit_status.h"

namespace qd718::cli {

namespace {

// The titles of the station's failure boxes that stand for something other than a refusal.
constexpr const char* PortTitle = "LQT7.";       // the port could not be opened
constexpr const char* NoAnswerTitle = "Error.";  // failed greeting or parameter read

}  // namespace

ExitStatus StatusOfBox(const std::string& /*text*/, const std::string& title, MsgIcon icon) {
  // Success boxes ("Parameters is saved to FLASH.") carry no icon.
  if (icon == MsgIcon::None) return ExitStatus::Done;
  if (title == PortTitle) return ExitStatus::PortNotOpened;
  if (title == NoAnswerTitle) return ExitStatus::NoAnswer;
  // "QD718." (parameter store, table blocks), "QD718" ("Save Error") and anything else that
  // carries the error icon: a failure is never reported as done.
  return ExitStatus::Refused;
}

}  // namespace qd718::cli
