#pragma once

// What the command line asks qd718 to do, checked and converted: nothing in here can fail
// once the scanner is being talked to.

#include <optional>
#include <string>
#include <vector>

#include "params/edit_conversion.h"

namespace qd718::cli {

enum class CommandKind {
  Identify,
  Connect,
  ParamsRead,
  ParamsWrite,
  ParamsRestore,
  ParamsFlash,
  ParamsFactory,
  Measure,
  Recalc,
  Calibrate,
  TableRead,
  TableWrite,
  RefSave,
};

// The processing settings, each the state of a window control; nullopt is "off" (the
// filter's check box cleared).
struct ProcOptions {
  bool calibrTable = true;          // CheckBox1 "Calibr table"
  bool autoAngle = true;            // CheckBox4 "Auto angle"
  bool grooveShift = true;          // CheckBox6, the hidden x shift of a groove
  std::optional<int> median = 51;   // CheckBox3 and dxEdit5
  std::optional<int> smoothLine;    // CheckBox2 and dxEdit6
  std::optional<int> smoothRecurs;  // CheckBox5 and dxEdit7
};

// Files to write besides the report; empty when not asked for.
struct Exports {
  std::string profileCsv;
  std::string tableCsv;
  std::string raw;
  std::string plot;
};

// One --ch1 F=V or --ch2 F=V.
struct ParamAssignment {
  int channel;
  ParamField field;
  std::string text;
};

struct Invocation {
  std::string port = "COM1";
  bool json = false;
  // Reply bytes received and protocol pauses, on standard error (for the wire benchmark).
  bool wireStats = false;
  CommandKind command = CommandKind::Identify;
  ProcOptions proc;
  Exports exports;
  std::vector<ParamAssignment> assignments;
  std::string inputFile;  // recalc --raw, table write --from
  std::string refFile;    // ref save FILE
  bool save = false;      // calibrate --save
};

}  // namespace qd718::cli
