#include "cli/session.h"

#include "cli/channels.h"

namespace qd718::cli {

namespace {

Link& ChooseLink(TScannerLink& scannerLink, std::unique_ptr<MeteredLink>& metered, bool wireStats) {
  if (!wireStats) return scannerLink;
  metered = std::make_unique<MeteredLink>(scannerLink);
  return *metered;
}

// A filter's check box and its edit: "off" clears the box and leaves the edit's text.
void ApplyFilter(ConsoleWindow& window, Ctl box, Ctl edit, const std::optional<int>& value) {
  window.SetChecked(box, value.has_value());
  if (value) window.SetText(edit, std::to_string(*value));
}

}  // namespace

Session::Session(const Invocation& invocation)
    : station(ChooseLink(scannerLink_, metered_, invocation.wireStats)) {
  for (int channel : Channels) results[ChannelIndex(channel)].channel = channel;
  station.afterChannel = [this](int channel, bool scanned) {
    results[ChannelIndex(channel)] =
        TakeChannelResult(*station.store, station.ParamsOf(channel), channel, scanned);
  };
  ApplyProc(invocation.proc, window);
}

void Session::Cancel() {
  scannerLink_.Cancel();
  if (metered_) metered_->Cancel();
}

void Session::ResetCancel() {
  scannerLink_.ResetCancel();
  if (metered_) metered_->ResetCancel();
}

void ApplyProc(const ProcOptions& proc, ConsoleWindow& window) {
  window.SetChecked(Ctl::CheckBox1, proc.calibrTable);
  window.SetChecked(Ctl::CheckBox4, proc.autoAngle);
  window.SetChecked(Ctl::CheckBox6, proc.grooveShift);
  ApplyFilter(window, Ctl::CheckBox3, Ctl::dxEdit5, proc.median);
  ApplyFilter(window, Ctl::CheckBox2, Ctl::dxEdit6, proc.smoothLine);
  ApplyFilter(window, Ctl::CheckBox5, Ctl::dxEdit7, proc.smoothRecurs);
}

}  // namespace qd718::cli
