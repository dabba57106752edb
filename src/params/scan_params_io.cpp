#include "params/scan_params_io.h"

#include <string>

#include "link/protocol.h"
#include "params/edit_conversion.h"
#include "params/float_to_int.h"

namespace qd718 {

namespace {

constexpr int ReadGaugeSteps = 8;
constexpr int WriteGaugeSteps = 6;
constexpr int WordBytes = 2;
constexpr int ByteBytes = 1;
constexpr Millis FlashSavePause{1000};
constexpr Millis RestoreReadPause{500};

const std::string StoreTitle = "QD718.";

constexpr ChannelEdits Channel1Edits{Ctl::BeginPosEdit, Ctl::EndPosEdit, Ctl::TimeMEdit,
                                     Ctl::TimeMEdit1,   Ctl::DiskrEdit,  Ctl::AngleEdit,
                                     Ctl::XBegEdit,     Ctl::YBegEdit,   Ctl::CyclEdit};
constexpr ChannelEdits Channel2Edits{Ctl::BeginPosEdit2, Ctl::EndPosEdit2, Ctl::TimeMEdit2,
                                     Ctl::TimeMEdit21,   Ctl::DiskrEdit2,  Ctl::AngleEdit2,
                                     Ctl::XBegEdit2,     Ctl::YBegEdit2,   Ctl::CyclEdit2};

// The scanner answers a parameter-store command by echoing its action byte.
bool StoreEchoed(ScannerState& state, Window& window, int channel, StoreAction action,
                 const std::string& failure) {
  if (ParamStore(state.GetLink(), channel, action)) return true;
  window.MessageBox(failure, StoreTitle, MsgIcon::Error);
  ++state.ErrorCount;
  return false;
}

}  // namespace

const ChannelEdits& EditsOf(int channel) {
  return channel == 1 ? Channel1Edits : Channel2Edits;
}

bool ReadScanParams(ScannerState& state, Window& window, int channel) {
  Link& link = state.GetLink();
  TScanParams& params = state.ParamsOf(channel);
  const ChannelEdits& edits = EditsOf(channel);
  link.PurgeBuffers();
  window.SetGaugeMax(ReadGaugeSteps);
  window.SetGaugeProgress(0);

  // Each value is stored before it is tested: a failing field is left holding NoReply.
  params.BeginPos = ReadRegister(link, channel, RegBeginPos, WordBytes);
  if (params.BeginPos == NoReply) return false;
  window.SetText(edits.BeginPos, std::to_string(params.BeginPos));
  window.ProcessMessages();
  window.AdvanceGauge();

  params.EndPos = ReadRegister(link, channel, RegEndPos, WordBytes);
  if (params.EndPos == NoReply) return false;
  window.SetText(edits.EndPos, std::to_string(params.EndPos));
  window.AdvanceGauge();
  window.ProcessMessages();

  params.Diskr = static_cast<float>(ReadRegister(link, channel, RegDiskr, WordBytes));
  if (params.Diskr == static_cast<float>(NoReply)) return false;
  window.SetText(edits.Diskr, FloatToText(params.Diskr));
  window.AdvanceGauge();
  window.ProcessMessages();

  params.XBeg = XBegAfterRead;
  window.SetText(edits.XBeg, std::to_string(params.XBeg));
  window.AdvanceGauge();
  window.ProcessMessages();

  params.TimeM = ReadRegister(link, channel, RegTimeM, ByteBytes);
  if (params.TimeM == NoReply) return false;
  params.TimeM1 = ReadRegister(link, channel, RegTimeM1, ByteBytes);
  if (params.TimeM1 == NoReply) return false;
  window.SetText(edits.TimeM, std::to_string(params.TimeM));
  window.SetText(edits.TimeM1, std::to_string(params.TimeM1));
  window.AdvanceGauge();
  window.ProcessMessages();

  params.Angle = AngleAfterRead;
  window.SetText(edits.Angle, std::to_string(params.Angle));
  window.AdvanceGauge();
  window.ProcessMessages();

  params.Cycl = CyclAfterRead;
  window.SetText(edits.Cycl, std::to_string(params.Cycl));
  window.AdvanceGauge();

  link.PurgeBuffers();
  return true;
}

// A read that failed part-way leaves NoReply in the failing field while its edit still shows
// the old text; writing it would store a value the engineer never saw (and save it to flash).
namespace {
bool HoldsFailedRead(const TScanParams& params) {
  return params.BeginPos == NoReply || params.EndPos == NoReply || params.TimeM == NoReply ||
         params.TimeM1 == NoReply || params.Diskr == static_cast<float>(NoReply);
}
}  // namespace

void WriteScanParams(ScannerState& state, Window& window, int channel) {
  Link& link = state.GetLink();
  const TScanParams& params = state.ParamsOf(channel);
  if (HoldsFailedRead(params)) {
    window.MessageBox(ReadParamsFailedText, ReadFailedTitle, MsgIcon::Error);
    return;
  }
  link.PurgeBuffers();
  window.SetGaugeMax(WriteGaugeSteps);
  window.SetGaugeProgress(0);

  // A request that cannot be sent ends the write silently, before the flash save.
  if (!WriteRegister(link, channel, RegEndPos, WordBytes, params.EndPos)) return;
  window.AdvanceGauge();
  if (!WriteRegister(link, channel, RegBeginPos, WordBytes, params.BeginPos)) return;
  window.AdvanceGauge();
  if (!WriteRegister(link, channel, RegAngle, WordBytes, params.Angle)) return;
  window.AdvanceGauge();
  // The scanner holds the scan step as a whole number.
  if (!WriteRegister(link, channel, RegDiskr, WordBytes, SaturatingTrunc(params.Diskr))) return;
  window.AdvanceGauge();
  if (!WriteRegister(link, channel, RegTimeM, ByteBytes, params.TimeM)) return;
  if (!WriteRegister(link, channel, RegTimeM1, ByteBytes, params.TimeM1)) return;
  window.AdvanceGauge();
  window.AdvanceGauge();

  state.ErrorCount = 0;
  link.Pause(FlashSavePause);
  SaveToFlash(state, window, channel);
  if (state.ErrorCount != 0) link.PurgeBuffers();
}

void SaveToFlash(ScannerState& state, Window& window, int channel) {
  StoreEchoed(state, window, channel, StoreAction::SaveToFlash,
              "Error of recording of parameters in FLASH.");
}

void RestoreDefaults(ScannerState& state, Window& window, int channel) {
  if (!StoreEchoed(state, window, channel, StoreAction::RestoreDefaults,
                   "Error in restoring the initial parameters.")) {
    return;
  }
  // The restored values are read back into the edits; a failed read only counts.
  state.GetLink().Pause(RestoreReadPause);
  if (!ReadScanParams(state, window, channel)) ++state.ErrorCount;
}

void SaveAsFactory(ScannerState& state, Window& window, int channel) {
  StoreEchoed(state, window, channel, StoreAction::SaveAsFactory,
              "Error of recording of parameters.");
}

}  // namespace qd718
