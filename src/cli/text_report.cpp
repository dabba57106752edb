#include "cli/text_report.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace qd718::cli {

namespace {

using Row = std::vector<std::string>;
constexpr const char* ColumnGap = "  ";
// Every integer below this is exact in a double.
constexpr double LargestExactInteger = 9007199254740992.0;

std::string Cell(const Json& value) {
  if (value.is_boolean()) return value.get<bool>() ? "yes" : "no";
  if (value.is_string()) return value.get<std::string>();
  // As the window shows Diskr: an integral value without decimals.
  if (value.is_number_float()) {
    const double number = value.get<double>();
    if (number == std::trunc(number) && std::fabs(number) < LargestExactInteger) {
      return std::to_string(static_cast<long long>(number));
    }
  }
  return value.dump();
}

// Columns padded to their widest cell; the last column is not padded.
std::string Aligned(const std::vector<Row>& rows) {
  std::vector<std::size_t> widths;
  for (const Row& row : rows) {
    if (widths.size() < row.size()) widths.resize(row.size(), 0);
    for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
  }
  std::string text;
  for (const Row& row : rows) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      text += row[c];
      if (c + 1 < row.size()) text += std::string(widths[c] - row[c].size(), ' ') + ColumnGap;
    }
    text += '\n';
  }
  return text;
}

std::string Identity(const Json& identity) {
  std::vector<Row> rows;
  for (const char* key : {"Tip", "Modif", "Ser"}) rows.push_back({key, Cell(identity[key])});
  rows.push_back({"Diapaz", Cell(identity["Diapaz"][0]), Cell(identity["Diapaz"][1])});
  return Aligned(rows);
}

// Objects of both channels side by side: one row per fact, one column per channel. Nested
// objects (Extremes) give their members; arrays (points) are left to their own section.
std::string SideBySide(const Json& channels) {
  std::vector<Row> rows;
  Row heading{"channel"};
  for (const Json& channel : channels) heading.push_back(Cell(channel["channel"]));
  rows.push_back(heading);
  for (const auto& [key, value] : channels[0].items()) {
    if (key == "channel" || value.is_array()) continue;
    if (value.is_object()) {
      for (const auto& [member, ignored] : value.items()) {
        Row row{member};
        for (const Json& channel : channels) row.push_back(Cell(channel[key][member]));
        rows.push_back(row);
      }
      continue;
    }
    Row row{key};
    for (const Json& channel : channels) row.push_back(Cell(channel[key]));
    rows.push_back(row);
  }
  return Aligned(rows);
}

std::string Points(const Json& channels) {
  std::string text;
  for (const Json& channel : channels) {
    if (!channel.contains("points")) continue;
    std::vector<Row> rows{{"x", "z"}};
    for (const Json& point : channel["points"]) rows.push_back({Cell(point[0]), Cell(point[1])});
    text += "\npoints of channel " + Cell(channel["channel"]) + "\n" + Aligned(rows);
  }
  return text;
}

std::string Table(const Json& table) {
  std::vector<Row> rows{{"index", "channel1", "channel2"}};
  const Json& first = table["1"];
  const Json& second = table["2"];
  for (std::size_t i = 0; i < first.size(); ++i) {
    rows.push_back({std::to_string(i), Cell(first[i]), Cell(second[i])});
  }
  return Aligned(rows);
}

}  // namespace

std::string TextReport(const Json& report) {
  std::vector<std::string> sections;
  // identify prints the identity itself.
  if (report.contains("Tip")) sections.push_back(Identity(report));
  if (report.contains("identity")) sections.push_back(Identity(report["identity"]));
  if (report.contains("params")) sections.push_back("parameters\n" + SideBySide(report["params"]));
  if (report.contains("channels")) {
    sections.push_back(SideBySide(report["channels"]) + Points(report["channels"]));
  }
  if (report.contains("table")) sections.push_back("calibration table\n" + Table(report["table"]));
  std::string text;
  for (const std::string& section : sections) text += (text.empty() ? "" : "\n") + section;
  return text;
}

}  // namespace qd718::cli
