// qd718 run as scripts run it, against qd718-sim on a pseudo-terminal: the report on
// standard output, the station's messages on standard error, and the exit status.

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli_process.h"
#include "refprof/ref_profile.h"
#include "sim/virtual_scanner.h"

namespace qd718::test {
namespace {

using Json = nlohmann::ordered_json;

constexpr int Done = 0;
constexpr int Usage = 2;
constexpr int PortNotOpened = 3;
constexpr int NoAnswer = 4;
constexpr int Refused = 5;
constexpr int TableEntries = 3072;
constexpr const char* MissingDevice = "/nonexistent/ttyQD718";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

int CountLines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// A whole table file as --table-csv writes it, entry i of channel c being c * i - 1000.
std::string TableFile() {
  std::string text = "index;channel1;channel2\n";
  for (int i = 0; i < TableEntries; ++i) {
    text += std::to_string(i) + ";" + std::to_string(i - 1000) + ";" +
            std::to_string(2 * i - 1000) + "\n";
  }
  return text;
}

// Replaces line number `line` (1 is the header) of a text.
std::string WithLine(const std::string& text, int line, const std::string& replacement) {
  std::size_t begin = 0;
  for (int i = 1; i < line; ++i) begin = text.find('\n', begin) + 1;
  const std::size_t end = text.find('\n', begin);
  return text.substr(0, begin) + replacement + text.substr(end);
}

class Qd718Test : public ::testing::Test {
 protected:
  // Aliases go into a private port folder, so tests never meet each other's ports.
  std::vector<std::string> Environment() const { return {"XDG_RUNTIME_DIR=" + folder.Path()}; }

  ProcessResult Qd718(const std::vector<std::string>& args) const {
    std::vector<std::string> argv{QD718_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProcess(argv, Environment());
  }

  // The report on standard output; a discarded value (which no key matches) when it is not
  // one JSON object.
  static Json Report(const ProcessResult& result) {
    Json report = Json::parse(result.out, nullptr, false);
    EXPECT_TRUE(report.is_object()) << result.out;
    return report;
  }

  TempFolder folder;
};

TEST_F(Qd718Test, IdentifyReportsTheScannerOnThePortAliasedAsCom1) {
  constexpr int Seed = 42;
  SimProcess sim({"--alias", "COM1", "--seed", std::to_string(Seed)}, Environment());
  sim::ScannerOptions options;
  options.seed = Seed;
  const sim::VirtualScanner expected(options);

  const ProcessResult json = Qd718({"--json", "identify"});  // COM1 is the default port
  ASSERT_EQ(json.exitStatus, Done) << json.err;
  const Json identity = Report(json);
  std::vector<std::string> keys;
  for (const auto& [key, value] : identity.items()) keys.push_back(key);
  EXPECT_EQ(keys, (std::vector<std::string>{"Tip", "Modif", "Ser", "Diapaz"}));
  EXPECT_EQ(identity["Tip"], expected.Tip());
  EXPECT_EQ(identity["Modif"], expected.Modif());
  EXPECT_EQ(identity["Ser"], expected.Serial());
  EXPECT_EQ(identity["Diapaz"], Json::array({expected.Range(1), expected.Range(2)}));

  const ProcessResult text = Qd718({"identify"});
  ASSERT_EQ(text.exitStatus, Done) << text.err;
  EXPECT_NE(text.out.find("Ser     " + std::to_string(expected.Serial()) + "\n"), std::string::npos)
      << text.out;
}

TEST_F(Qd718Test, SilentChannelOneFailsTheGreeting) {
  SimProcess sim({"--silent", "1"});
  const ProcessResult result = Qd718({"--port", sim.Device(), "--json", "identify"});
  EXPECT_EQ(result.exitStatus, NoAnswer);
  EXPECT_EQ(result.err, "Error. Hello Erorr!\n");
  EXPECT_EQ(result.out, "");
}

TEST_F(Qd718Test, PortThatCannotBeOpenedGivesTheStationsMessage) {
  const ProcessResult result = Qd718({"--port", MissingDevice, "identify"});
  EXPECT_EQ(result.exitStatus, PortNotOpened);
  EXPECT_EQ(result.err, std::string("LQT7. Error opening ") + MissingDevice +
                            " Port is already in use or not available!\n");
}

// Every one of these is refused before a port is opened: the port named does not exist, so
// an attempt to open it would end with 3.
TEST_F(Qd718Test, BadCommandLinesAreUsageErrors) {
  const struct {
    std::vector<std::string> args;
    std::string named;  // what the message must name
  } cases[] = {
      {{"frobnicate"}, "frobnicate"},
      {{}, ""},
      {{"measure", "--median", "0"}, "--median"},
      {{"measure", "--median", "1001"}, "--median"},
      {{"measure", "--median", "5x"}, "--median"},
      {{"calibrate", "--smooth-line", "0"}, "--smooth-line"},
      {{"measure", "--smooth-recurs", "-3"}, "--smooth-recurs"},
      {{"measure", "--plot", "charts.jpg"}, "--plot"},
      {{"params", "write", "--ch1", "BeginPos=12ab"}, "BeginPos"},
      {{"params", "write", "--ch2", "Diskr=x"}, "Diskr"},
      {{"params", "write", "--ch1", "Speed=3"}, "Speed"},
      {{"params", "write", "--ch1", "BeginPos"}, "BeginPos"},
      {{"recalc"}, "--raw"},
      {{"recalc", "--raw", "/nonexistent/raw.json"}, "/nonexistent/raw.json"},
      {{"table", "write"}, "--from"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"--port", MissingDevice};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ProcessResult result = Qd718(args);
    EXPECT_EQ(result.exitStatus, Usage) << testing::PrintToString(c.args) << "\n" << result.err;
    EXPECT_NE(result.err.find(c.named), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("LQT7."), std::string::npos) << result.err;
  }
}

TEST_F(Qd718Test, ParamsWriteStoresWhatTheEditWouldAndReadShowsIt) {
  SimProcess sim;
  const ProcessResult written = Qd718({"--port", sim.Device(), "--json", "params", "write", "--ch1",
                                       "BeginPos=1234", "--ch2", "Diskr=12.9"});
  ASSERT_EQ(written.exitStatus, Done) << written.err;
  EXPECT_EQ(Report(written)["params"][0]["BeginPos"], 1234);

  const ProcessResult read = Qd718({"--port", sim.Device(), "--json", "params", "read"});
  ASSERT_EQ(read.exitStatus, Done) << read.err;
  const Json params = Report(read)["params"];
  EXPECT_EQ(params[0]["channel"], 1);
  EXPECT_EQ(params[0]["BeginPos"], 1234);
  // The device holds Diskr as an integer: 12.9 was sent as 12.
  EXPECT_EQ(params[1]["Diskr"], 12);
}

TEST_F(Qd718Test, MeasureReportsBothChannelsAndRecalcRepeatsThemFromTheRawFile) {
  SimProcess sim;
  const std::string raw = folder.File("scan.json");
  const std::string profile = folder.File("profile.csv");
  const std::string table = folder.File("table.csv");
  const std::string plot = folder.File("charts.png");
  const ProcessResult measured =
      Qd718({"--port", sim.Device(), "--json", "measure", "--raw", raw, "--profile-csv", profile,
             "--table-csv", table, "--plot", plot});
  ASSERT_EQ(measured.exitStatus, Done) << measured.err;
  const Json report = Report(measured);
  ASSERT_TRUE(report.contains("identity"));
  ASSERT_EQ(report["channels"].size(), 2u);
  int points = 0;
  for (int c = 0; c < 2; ++c) {
    const Json& channel = report["channels"][c];
    EXPECT_EQ(channel["channel"], c + 1);
    EXPECT_EQ(channel["scanned"], true);
    EXPECT_GT(channel["PointCount"].get<int>(), 0);
    EXPECT_EQ(channel["points"].size(), channel["PointCount"].get<std::size_t>());
    EXPECT_LE(channel["SpanFirst"].get<int>(), channel["SpanLast"].get<int>());
    points += channel["PointCount"].get<int>();
  }
  EXPECT_EQ(CountLines(ReadFile(profile)), 1 + points);
  EXPECT_EQ(CountLines(ReadFile(table)), 1 + TableEntries);
  EXPECT_EQ(ReadFile(plot).substr(0, 4), "\x89PNG");

  const ProcessResult recalculated = Qd718({"--json", "recalc", "--raw", raw});
  ASSERT_EQ(recalculated.exitStatus, Done) << recalculated.err;
  EXPECT_EQ(Report(recalculated)["channels"], report["channels"]);
}

// "Save" of channel 1 writes a .ref file that the station's own loader reads back point for
// point.
TEST_F(Qd718Test, RefSaveWritesAFileThatTheLoaderReadsBack) {
  SimProcess sim;
  const std::string file = folder.File("groove.ref");
  const ProcessResult saved = Qd718({"--port", sim.Device(), "--json", "ref", "save", file});
  ASSERT_EQ(saved.exitStatus, Done) << saved.err;
  const Json channel1 = Report(saved)["channels"][0];
  EXPECT_EQ(ReadFile(file).substr(0, 8), "Model \r\n");

  auto loaded = std::make_unique<TRefProfile>();
  LoadReference(*loaded, folder.Path(), "Model ");
  ASSERT_EQ(loaded->count, channel1["PointCount"].get<int>());
  ASSERT_GT(loaded->count, 0);
  for (int i = 0; i < loaded->count; ++i) {
    ASSERT_EQ(loaded->points[i].x, channel1["points"][i][0].get<float>()) << i;
    ASSERT_EQ(loaded->points[i].z, channel1["points"][i][1].get<float>()) << i;
  }
}

// The floor spread of the virtual groove: the head's per-position error before a calibration
// written into the scanner, and hardly anything after it.
TEST_F(Qd718Test, CalibrateSaveFlattensTheNextMeasurement) {
  SimProcess sim;
  const auto floorSpread = [&](const Json& report, int c) {
    const Json& extremes = report["channels"][c]["Extremes"];
    return extremes["ZMax"].get<int>() - extremes["ZMin"].get<int>();
  };
  const ProcessResult before = Qd718({"--port", sim.Device(), "--json", "measure"});
  ASSERT_EQ(before.exitStatus, Done) << before.err;
  const ProcessResult calibrated = Qd718({"--port", sim.Device(), "--json", "calibrate", "--save"});
  ASSERT_EQ(calibrated.exitStatus, Done) << calibrated.err;
  const Json calibration = Report(calibrated);
  for (const char* channel : {"1", "2"}) {
    EXPECT_EQ(calibration["table"][channel].size(), static_cast<std::size_t>(TableEntries));
  }
  EXPECT_EQ(calibration["channels"][1]["scanned"], true);
  const ProcessResult after = Qd718({"--port", sim.Device(), "--json", "measure"});
  ASSERT_EQ(after.exitStatus, Done) << after.err;
  for (int c = 0; c < 2; ++c) {
    SCOPED_TRACE(c + 1);
    EXPECT_GT(floorSpread(Report(before), c), 0);
    EXPECT_LE(3 * floorSpread(Report(after), c), floorSpread(Report(before), c));
  }
}

TEST_F(Qd718Test, FailedScanReadoutMarksTheChannelUnscanned) {
  SimProcess sim({"--short", "2:0x8D:100"});
  const ProcessResult result = Qd718({"--port", sim.Device(), "--json", "measure"});
  EXPECT_EQ(result.exitStatus, Refused);
  const Json channels = Report(result)["channels"];
  EXPECT_EQ(channels[0]["scanned"], true);
  EXPECT_EQ(channels[1]["scanned"], false);
  EXPECT_EQ(channels[1]["points"], Json::array());
}

// A malformed table file is refused with its line named, before any port is opened.
TEST_F(Qd718Test, TableWriteRejectsAMalformedFile) {
  const std::string good = TableFile();
  const struct {
    std::string text;
    std::string where;
  } cases[] = {
      {"", ":1:"},
      {WithLine(good, 1, "index,channel1,channel2"), ":1:"},
      {WithLine(good, 5, "4;10;10"), ":5:"},  // line 5 holds index 3
      {WithLine(good, 5, "3;10"), ":5:"},
      {WithLine(good, 5, "3;10;10;10"), ":5:"},
      {WithLine(good, 8, "6;32768;0"), ":8:"},
      {WithLine(good, 8, "6;0;1.5"), ":8:"},
      {WithLine(good, 8, "6; 1;0"), ":8:"},
      {WithLine(good, 8, "6;;0"), ":8:"},
      {good.substr(0, good.rfind("3071;")), ":3073:"},
      {good + "3072;0;0\n", ":3074:"},
  };
  const std::string file = folder.File("table.csv");
  for (const auto& c : cases) {
    WriteFile(file, c.text);
    const ProcessResult result = Qd718({"--port", MissingDevice, "table", "write", "--from", file});
    EXPECT_EQ(result.exitStatus, Usage) << c.where << "\n" << result.err;
    EXPECT_NE(result.err.find(file + c.where), std::string::npos) << result.err;
  }
}

TEST_F(Qd718Test, WrongAcknowledgementOfATableBlockFailsTheWrite) {
  SimProcess sim({"--bad-ack", "1:3"});
  const std::string file = folder.File("table.csv");
  WriteFile(file, TableFile());
  const ProcessResult result =
      Qd718({"--port", sim.Device(), "--json", "table", "write", "--from", file});
  EXPECT_EQ(result.exitStatus, Refused);
  // Channel 1 stops at block 3; channel 2 is still written, and acknowledged.
  // One line: the station's box for block 3 of channel 1.
  EXPECT_EQ(CountLines(result.err), 1) << result.err;
  EXPECT_EQ(result.err, "QD718. Error writing calibr table .Block N3\n");
  EXPECT_EQ(Report(result)["table"]["2"][TableEntries - 1], 2 * (TableEntries - 1) - 1000);
}

}  // namespace
}  // namespace qd718::test
