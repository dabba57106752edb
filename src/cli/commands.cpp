#include "cli/commands.h"

#include "station/connection.h"

#include <fstream>

#include "cli/raw_file.h"
#include "cli/table_csv.h"
#include "cli/usage_error.h"
#include "station/handlers.h"

namespace qd718::cli {

namespace {

using Runner = Json (*)(const Invocation&, Session&);

// The station went on until the end of its handler: the port is open and the scanner
// answered.
bool Going(Session& session) {
  return !session.window.GetOutcome().Halted();
}

// The "Parameters" handshake that measure, calibrate and ref save start with.
bool Handshake(Session& session) {
  ConnectBtnClick(session.station, session.window);
  return Going(session);
}

// A failed scan readout shows no box in the station; qd718 must not report it as done.
void NoteUnscanned(Session& session) {
  for (const ChannelResult& result : session.results) {
    if (result.scanned) continue;
    session.window.Say("qd718: channel " + std::to_string(result.channel) +
                       ": the scan readout failed");
    session.window.GetOutcome().Note(ExitStatus::Refused);
  }
}

bool AllScanned(const Session& session) {
  for (const ChannelResult& result : session.results) {
    if (!result.scanned) return false;
  }
  return true;
}

// A parameter-store batch counts its failures in ErrorCount. A mismatch shows its own box;
// a re-read after "Load default" that got no answer only counts.
void NoteStoreErrors(Session& session) {
  Outcome& outcome = session.window.GetOutcome();
  if (session.station.ErrorCount == 0 || outcome.Failed()) return;
  session.window.Say("qd718: the scanner did not answer the parameter read after the command");
  outcome.Note(ExitStatus::NoAnswer);
}

Json ParamsReport(Session& session) {
  Json report;
  report["params"] = BothParamsJson(session.station);
  return report;
}

Json MeasuredChannels(const Session& session) {
  Json channels = Json::array();
  for (const ChannelResult& result : session.results) {
    channels.push_back(MeasuredChannelJson(result));
  }
  return channels;
}

Json MeasurementReport(Session& session) {
  NoteUnscanned(session);
  Json report;
  report["identity"] = IdentityJson(session.station.Info);
  report["channels"] = MeasuredChannels(session);
  return report;
}

Ctl EditFor(int channel, ParamField field) {
  for (int i = 0; i < ControlCount; ++i) {
    const auto edit = ParamEditFor(static_cast<Ctl>(i));
    if (edit && edit->channel == channel && edit->field == field) return edit->edit;
  }
  return Ctl::BeginPosEdit;  // every field of both channels has its edit
}

Json RunIdentify(const Invocation&, Session& session) {
  if (!Greeting(session.station, session.window)) return nullptr;
  return IdentityJson(session.station.Info);
}

Json RunConnect(const Invocation&, Session& session) {
  if (!Handshake(session)) return nullptr;
  Json report;
  report["identity"] = IdentityJson(session.station.Info);
  report["params"] = BothParamsJson(session.station);
  report["table"] = TableJson(*session.station.table);
  return report;
}

Json RunParamsRead(const Invocation&, Session& session) {
  ReadBtnClick(session.station, session.window);
  if (!Going(session)) return nullptr;
  return ParamsReport(session);
}

Json RunParamsWrite(const Invocation& invocation, Session& session) {
  ReadBtnClick(session.station, session.window);
  // Writing back after a failed read would store NoReply values in the scanner.
  if (!Going(session)) return nullptr;
  for (const ParamAssignment& assignment : invocation.assignments) {
    session.window.SetText(EditFor(assignment.channel, assignment.field), assignment.text);
    StoreParamText(session.station.ParamsOf(assignment.channel), assignment.field, assignment.text);
  }
  WriteBtnClick(session.station, session.window);
  return ParamsReport(session);
}

Json RunParamsRestore(const Invocation&, Session& session) {
  RestoreBtnClick(session.station, session.window);
  NoteStoreErrors(session);
  return ParamsReport(session);
}

Json RunParamsFlash(const Invocation&, Session& session) {
  WriteFlashBtnClick(session.station, session.window);
  NoteStoreErrors(session);
  return ParamsReport(session);
}

Json RunParamsFactory(const Invocation&, Session& session) {
  BitBtn3Click(session.station, session.window);
  NoteStoreErrors(session);
  return ParamsReport(session);
}

Json RunMeasure(const Invocation&, Session& session) {
  if (!Handshake(session)) return nullptr;
  Button1Click(session.station, session.window);
  return MeasurementReport(session);
}

Json RunRecalc(const Invocation&, Session& session) {
  cxButton5Click(session.station, session.window);
  Json report;
  report["channels"] = MeasuredChannels(session);
  return report;
}

Json RunCalibrate(const Invocation& invocation, Session& session) {
  if (!Handshake(session)) return nullptr;
  cxButton2Click(session.station, session.window);
  NoteUnscanned(session);
  if (invocation.save) {
    // A run that lost a channel's scan leaves that table zero or partial; writing it would
    // overwrite the scanner's good table.
    if (AllScanned(session)) {
      cxButton3Click(session.station, session.window);
    } else {
      session.window.Say("qd718: the table was not saved into the scanner");
    }
  }
  Json channels = Json::array();
  for (const ChannelResult& result : session.results) {
    channels.push_back(CalibratedChannelJson(result));
  }
  Json report;
  report["channels"] = std::move(channels);
  report["table"] = TableJson(*session.station.table);
  return report;
}

Json RunTableRead(const Invocation&, Session& session) {
  cxButton4Click(session.station, session.window);
  Json report;
  report["table"] = TableJson(*session.station.table);
  return report;
}

Json RunTableWrite(const Invocation&, Session& session) {
  cxButton3Click(session.station, session.window);
  Json report;
  report["table"] = TableJson(*session.station.table);
  return report;
}

Json RunRefSave(const Invocation& invocation, Session& session) {
  if (!Handshake(session)) return nullptr;
  Button1Click(session.station, session.window);
  // "Save" asks for the file name in its dialog; the console answers with FILE.
  session.window.AnswerSaveDialog(invocation.refFile);
  cxButton8Click(session.station, session.window);
  return MeasurementReport(session);
}

Runner RunnerFor(CommandKind command) {
  switch (command) {
    case CommandKind::Identify:
      return RunIdentify;
    case CommandKind::Connect:
      return RunConnect;
    case CommandKind::ParamsRead:
      return RunParamsRead;
    case CommandKind::ParamsWrite:
      return RunParamsWrite;
    case CommandKind::ParamsRestore:
      return RunParamsRestore;
    case CommandKind::ParamsFlash:
      return RunParamsFlash;
    case CommandKind::ParamsFactory:
      return RunParamsFactory;
    case CommandKind::Measure:
      return RunMeasure;
    case CommandKind::Recalc:
      return RunRecalc;
    case CommandKind::Calibrate:
      return RunCalibrate;
    case CommandKind::TableRead:
      return RunTableRead;
    case CommandKind::TableWrite:
      return RunTableWrite;
    case CommandKind::RefSave:
      return RunRefSave;
  }
  return RunIdentify;
}

std::ifstream OpenInput(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw UsageError(fileName + ": cannot be read");
  return in;
}

}  // namespace

void LoadInputs(const Invocation& invocation, Session& session) {
  if (invocation.command == CommandKind::TableWrite) {
    std::ifstream in = OpenInput(invocation.inputFile);
    ReadTableCsv(in, invocation.inputFile, *session.station.table);
  } else if (invocation.command == CommandKind::Recalc) {
    std::ifstream in = OpenInput(invocation.inputFile);
    ReadRawFile(in, invocation.inputFile, session.station);
  }
}

Json RunCommand(const Invocation& invocation, Session& session) {
  FormCreate(session.station, session.window);
  // Re-Calculate works on the stored scans alone and never talks to the scanner.
  if (invocation.command == CommandKind::Recalc) return RunRecalc(invocation, session);
  if (!OpenPort(session.station, session.window, invocation.port)) return nullptr;
  Json report;
  try {
    report = RunnerFor(invocation.command)(invocation, session);
  } catch (const OperationCancelled&) {
    // Ctrl-C: what the handler changed stays changed, as after a failure at that point.
    session.ResetCancel();
    session.window.Say("qd718: stopped");
    session.window.GetOutcome().Note(ExitStatus::Stopped);
    report = nullptr;
  }
  ClosePort(session.station, session.window);
  return report;
}

}  // namespace qd718::cli
