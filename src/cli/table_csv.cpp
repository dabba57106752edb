#include "cli/table_csv.h"

#include <array>
#include <istream>
#include <limits>
#include <ostream>
#include <string_view>

#include "cli/channels.h"
#include "cli/decimal_text.h"
#include "cli/usage_error.h"

namespace qd718::cli {

namespace {

constexpr int FieldsPerLine = 3;
constexpr char Separator = ';';

[[noreturn]] void Reject(const std::string& fileName, int line, const std::string& what) {
  throw UsageError(fileName + ":" + std::to_string(line) + ": " + what);
}

// A line without its end; a file edited on Windows ends its lines with CR LF.
std::string_view Chomp(const std::string& line) {
  std::string_view view = line;
  if (!view.empty() && view.back() == '\r') view.remove_suffix(1);
  return view;
}

bool SplitFields(std::string_view line, std::array<std::string_view, FieldsPerLine>& fields) {
  for (int f = 0; f < FieldsPerLine; ++f) {
    const std::size_t end = line.find(Separator);
    const bool last = f == FieldsPerLine - 1;
    if (last != (end == std::string_view::npos)) return false;
    fields[f] = line.substr(0, end);
    if (!last) line.remove_prefix(end + 1);
  }
  return true;
}

}  // namespace

void WriteTableCsv(const TCalibrTable& table, std::ostream& out) {
  out << TableCsvHeader << '\n';
  for (int i = 0; i < CalibrPoints; ++i) {
    out << i << Separator << table.Entry(1, i) << Separator << table.Entry(2, i) << '\n';
  }
}

void ReadTableCsv(std::istream& in, const std::string& fileName, TCalibrTable& table) {
  constexpr std::int64_t Lowest = std::numeric_limits<std::int16_t>::min();
  constexpr std::int64_t Highest = std::numeric_limits<std::int16_t>::max();
  TCalibrTable read;
  std::string line;
  int lineNumber = 1;
  if (!std::getline(in, line)) Reject(fileName, lineNumber, "the file is empty");
  if (Chomp(line) != TableCsvHeader) {
    Reject(fileName, lineNumber, std::string("expected the header \"") + TableCsvHeader + "\"");
  }
  for (int i = 0; i < CalibrPoints; ++i) {
    ++lineNumber;
    if (!std::getline(in, line)) {
      Reject(fileName, lineNumber,
             "the table ends after " + std::to_string(i) + " of " + std::to_string(CalibrPoints) +
                 " entries");
    }
    std::array<std::string_view, FieldsPerLine> fields;
    if (!SplitFields(Chomp(line), fields)) {
      Reject(fileName, lineNumber, "expected \"index;channel1;channel2\"");
    }
    const auto index = ParseDecimal(fields[0]);
    if (!index || *index != i) {
      Reject(fileName, lineNumber, "expected the index " + std::to_string(i));
    }
    for (int channel : Channels) {
      const auto value = ParseDecimalIn(fields[channel], Lowest, Highest);
      if (!value) {
        Reject(fileName, lineNumber,
               "channel" + std::to_string(channel) + " is not an integer from " +
                   std::to_string(Lowest) + " to " + std::to_string(Highest));
      }
      read.At(channel, i) = static_cast<std::int16_t>(*value);
    }
  }
  // Nothing may follow but blank lines.
  while (std::getline(in, line)) {
    ++lineNumber;
    if (!Chomp(line).empty()) Reject(fileName, lineNumber, "unexpected text after the table");
  }
  table = read;
}

}  // namespace qd718::cli
