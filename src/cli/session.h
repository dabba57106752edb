#pragma once

// One run of qd718: the station with its link and its console window, the PROC settings put
// into the window's controls, and what each channel's processing left for the report.

#include <array>
#include <memory>

#include "cli/channel_result.h"
#include "cli/console_window.h"
#include "cli/invocation.h"
#include "cli/metered_link.h"
#include "link/scanner_link.h"
#include "station/station.h"

namespace qd718::cli {

class Session {
 public:
  explicit Session(const Invocation& invocation);

  // Stops the running exchange from another context (Ctrl-C): the link's next wait throws
  // OperationCancelled.
  void Cancel();
  void ResetCancel();
  // What the metered link counted; null without --wire-stats.
  const MeteredLink* Meter() const { return metered_.get(); }

  ConsoleWindow window;

 private:
  // Declared before the station, which keeps a reference to one of them.
  TScannerLink scannerLink_;
  std::unique_ptr<MeteredLink> metered_;

 public:
  Station station;
  // Filled by the station's afterChannel: each channel right after its processing.
  std::array<ChannelResult, 2> results;
};

// The PROC options as the states of the window's controls.
void ApplyProc(const ProcOptions& proc, ConsoleWindow& window);

}  // namespace qd718::cli
