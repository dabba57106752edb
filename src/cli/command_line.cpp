#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <limits>

#include "cli/decimal_text.h"
#include "cli/exit_status.h"
#include "cli/usage_error.h"
#include "measure/filters.h"

namespace qd718::cli {

namespace {

constexpr const char* OffText = "off";
constexpr int LargestWindow = std::numeric_limits<int>::max();

// The PROC options as typed; converted once the line has been parsed.
struct ProcTexts {
  bool noCalibrTable = false;
  bool noAutoAngle = false;
  bool noGrooveShift = false;
  std::string median = "51";
  std::string smoothLine = OffText;
  std::string smoothRecurs = OffText;
};

enum ExportKinds : unsigned {
  ProfileCsvExport = 1,
  TableCsvExport = 2,
  RawExport = 4,
  PlotExport = 8,
};

void AddProc(CLI::App* command, ProcTexts& proc) {
  command->add_flag("--no-calibr-table", proc.noCalibrTable,
                    "Do not subtract the calibration table (clears \"Calibr table\")");
  command->add_flag("--no-auto-angle", proc.noAutoAngle,
                    "No automatic tilt correction (clears \"Auto angle\")");
  command->add_flag("--no-groove-shift", proc.noGrooveShift,
                    "Do not shift a groove profile to its steepest fall");
  command->add_option("--median", proc.median, "Median window 1-1000, or off (default 51)");
  command->add_option("--smooth-line", proc.smoothLine,
                      "Moving-average window >= 1, or off (default off)");
  command->add_option("--smooth-recurs", proc.smoothRecurs,
                      "Recursive smoothing factor >= 1, or off (default off)");
}

void AddExports(CLI::App* command, Exports& exports, unsigned kinds) {
  if (kinds & ProfileCsvExport) {
    command->add_option("--profile-csv", exports.profileCsv,
                        "Write both channels' profiles as \"channel;x;z\" lines");
  }
  if (kinds & TableCsvExport) {
    command->add_option("--table-csv", exports.tableCsv,
                        "Write the calibration table as \"index;channel1;channel2\" lines");
  }
  if (kinds & RawExport) {
    command->add_option("--raw", exports.raw, "Write the raw scans for recalc (JSON)");
  }
  if (kinds & PlotExport) {
    command->add_option("--plot", exports.plot, "Draw both charts into FILE.png or FILE.svg");
  }
}

ProcOptions ConvertProc(const ProcTexts& texts) {
  ProcOptions proc;
  proc.calibrTable = !texts.noCalibrTable;
  proc.autoAngle = !texts.noAutoAngle;
  proc.grooveShift = !texts.noGrooveShift;
  proc.median = ParseProcValue("--median", texts.median, MinFilterWindow, MedianWindowCapacity);
  proc.smoothLine =
      ParseProcValue("--smooth-line", texts.smoothLine, MinFilterWindow, LargestWindow);
  proc.smoothRecurs =
      ParseProcValue("--smooth-recurs", texts.smoothRecurs, MinFilterWindow, LargestWindow);
  return proc;
}

void CheckPlotFile(const std::string& file) {
  if (file.empty()) return;
  const auto dot = file.rfind('.');
  const std::string extension = dot == std::string::npos ? "" : file.substr(dot);
  if (extension != ".png" && extension != ".svg") {
    throw UsageError("--plot " + file + ": the file name must end in .png or .svg");
  }
}

}  // namespace

std::optional<int> ParseProcValue(const std::string& option, const std::string& text, int low,
                                  int high) {
  if (text == OffText) return std::nullopt;
  const auto value = ParseDecimalIn(text, low, high);
  if (!value) {
    const std::string range = high == LargestWindow ? "an integer >= " + std::to_string(low)
                                                    : "an integer from " + std::to_string(low) +
                                                          " to " + std::to_string(high);
    throw UsageError(option + " " + text + ": expected " + range + ", or off");
  }
  return static_cast<int>(*value);
}

ParamAssignment ParseAssignment(int channel, const std::string& text) {
  const std::string option = "--ch" + std::to_string(channel) + " " + text;
  const auto equals = text.find('=');
  if (equals == std::string::npos) throw UsageError(option + ": expected FIELD=VALUE");
  const std::string name = text.substr(0, equals);
  const auto field = ParamFieldNamed(name);
  if (!field) {
    throw UsageError(option + ": unknown field \"" + name +
                     "\" (BeginPos, EndPos, TimeM, TimeM1, Diskr, Angle, XBeg, YBeg, Cycl)");
  }
  ParamAssignment assignment{channel, *field, text.substr(equals + 1)};
  // Converted once here on a scratch record, so that a bad value stops the run before the
  // port is opened.
  TScanParams scratch;
  try {
    StoreParamText(scratch, assignment.field, assignment.text);
  } catch (const ConversionError& error) {
    throw UsageError(option + ": " + name + ": " + error.what());
  }
  return assignment;
}

ParsedCommandLine ParseCommandLine(int argc, char** argv) {
  Invocation invocation;
  ProcTexts proc;
  std::vector<std::string> ch1;
  std::vector<std::string> ch2;

  CLI::App app{"qd718: the QD718 service station without a window", "qd718"};
  app.require_subcommand(1);
  app.fallthrough();
  app.add_option("--port", invocation.port,
                 "COM1 ... COM4, \\\\.\\COMn or a device path (default COM1)");
  app.add_flag("--json", invocation.json, "Print one JSON object on standard output");
  // For the wire-time benchmark; not part of the interface scripts rely on.
  app.add_flag("--wire-stats", invocation.wireStats)->group("");

  auto* identify = app.add_subcommand("identify", "Greet channel 1, identify channel 2");
  auto* connect = app.add_subcommand("connect", "The whole \"Parameters\" handshake");
  AddExports(connect, invocation.exports, TableCsvExport);

  auto* params = app.add_subcommand("params", "Scan parameters of both channels");
  params->require_subcommand(1);
  auto* paramsRead = params->add_subcommand("read", "\"Read parameters\"");
  auto* paramsWrite = params->add_subcommand(
      "write", "\"Read parameters\", set the given fields, \"Write parameters\"");
  paramsWrite->add_option("--ch1", ch1, "FIELD=VALUE of channel 1 (repeat for more)")
      ->allow_extra_args(false);
  paramsWrite->add_option("--ch2", ch2, "FIELD=VALUE of channel 2 (repeat for more)")
      ->allow_extra_args(false);
  auto* paramsRestore = params->add_subcommand("restore", "\"Load default\"");
  auto* paramsFlash = params->add_subcommand("flash", "\"Write to Flash\"");
  auto* paramsFactory = params->add_subcommand("factory", "\"Write to factory\"");

  auto* measure = app.add_subcommand("measure", "The handshake, then \"Measurement\"");
  AddProc(measure, proc);
  AddExports(measure, invocation.exports,
             ProfileCsvExport | TableCsvExport | RawExport | PlotExport);

  auto* recalc = app.add_subcommand("recalc", "\"Re-Calculate\" of a raw file, without a port");
  AddProc(recalc, proc);
  recalc->add_option("--raw", invocation.inputFile, "Raw file written by measure --raw")
      ->required();
  AddExports(recalc, invocation.exports, ProfileCsvExport | TableCsvExport | PlotExport);

  auto* calibrate = app.add_subcommand("calibrate", "The handshake, then \"Calibration\"");
  AddProc(calibrate, proc);
  calibrate->add_flag("--save", invocation.save, "Then \"Save Table\" into the scanner");
  AddExports(calibrate, invocation.exports, TableCsvExport | RawExport | PlotExport);

  auto* table = app.add_subcommand("table", "Calibration tables of both channels");
  table->require_subcommand(1);
  auto* tableRead = table->add_subcommand("read", "\"Read Table\"");
  AddExports(tableRead, invocation.exports, TableCsvExport | PlotExport);
  auto* tableWrite = table->add_subcommand("write", "A table file, then \"Save Table\"");
  tableWrite->add_option("--from", invocation.inputFile, "Table file as --table-csv writes it")
      ->required();

  auto* ref = app.add_subcommand("ref", "Reference profile files");
  ref->require_subcommand(1);
  auto* refSave = ref->add_subcommand(
      "save", "The handshake, \"Measurement\", then \"Save\" of channel 1 into FILE");
  refSave->add_option("FILE", invocation.refFile, "The .ref file to write")->required();
  AddProc(refSave, proc);
  AddExports(refSave, invocation.exports,
             ProfileCsvExport | TableCsvExport | RawExport | PlotExport);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // CLI11 reports a word that is no command as a missing command; name the word.
    const std::vector<std::string> rest = app.remaining();
    if (!rest.empty() && app.get_subcommands().empty()) {
      std::cerr << "qd718: unknown command \"" << rest.front()
                << "\"\nRun with --help for more information.\n";
      return ParsedCommandLine{std::nullopt, static_cast<int>(ExitStatus::Usage)};
    }
    const int status = app.exit(error);
    return ParsedCommandLine{std::nullopt, status == 0 ? 0 : static_cast<int>(ExitStatus::Usage)};
  }

  const std::pair<CLI::App*, CommandKind> commands[] = {
      {identify, CommandKind::Identify},
      {connect, CommandKind::Connect},
      {paramsRead, CommandKind::ParamsRead},
      {paramsWrite, CommandKind::ParamsWrite},
      {paramsRestore, CommandKind::ParamsRestore},
      {paramsFlash, CommandKind::ParamsFlash},
      {paramsFactory, CommandKind::ParamsFactory},
      {measure, CommandKind::Measure},
      {recalc, CommandKind::Recalc},
      {calibrate, CommandKind::Calibrate},
      {tableRead, CommandKind::TableRead},
      {tableWrite, CommandKind::TableWrite},
      {refSave, CommandKind::RefSave},
  };
  for (const auto& [command, kind] : commands) {
    if (command->parsed()) invocation.command = kind;
  }

  try {
    invocation.proc = ConvertProc(proc);
    for (const std::string& text : ch1) invocation.assignments.push_back(ParseAssignment(1, text));
    for (const std::string& text : ch2) invocation.assignments.push_back(ParseAssignment(2, text));
    CheckPlotFile(invocation.exports.plot);
  } catch (const UsageError& error) {
    std::cerr << "qd718: " << error.what() << "\nRun with --help for more information.\n";
    return ParsedCommandLine{std::nullopt, static_cast<int>(ExitStatus::Usage)};
  }
  return ParsedCommandLine{std::move(invocation), 0};
}

}  // namespace qd718::cli
