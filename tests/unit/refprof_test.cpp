// .ref reference files (save and load) and the comparison overlay.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "measure_scripted_link.h"
#include "refprof/ref_profile.h"
#include "refprof/template_overlay.h"
#include "station/app_error.h"
#include "station/handlers.h"
#include "support/fake_window.h"

namespace qd718::test {
namespace {

namespace fs = std::filesystem;

// The file that "Save" writes for the three points (1000, 200), (1010, -5), (1020, 0).
const std::string ThreePointFile = "Model \r\n1000;200\r\n1010;-5\r\n1020;0\r\n";

// A fresh folder for each test, removed afterwards.
struct FolderFixture : ::testing::Test {
  fs::path folder;

  FolderFixture() {
    std::random_device random;
    folder = fs::temp_directory_path() / ("qd718-refprof-" + std::to_string(random()));
    fs::create_directories(folder);
  }
  ~FolderFixture() override {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }

  void Write(const std::string& name, const std::string& content) const {
    std::ofstream(folder / name, std::ios::binary) << content;
  }
  std::string Read(const fs::path& path) const {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }
};

struct SaveFixture : FolderFixture {
  std::unique_ptr<TProfileStore> store = std::make_unique<TProfileStore>();
  FakeWindow window;

  void LoadChannel(int channel, const std::vector<std::pair<int, int>>& points) {
    store->PointCount[ChannelIndex(channel)] = static_cast<int>(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
      store->X(channel, static_cast<int>(i)) = points[i].first;
      store->Z(channel, static_cast<int>(i)) = points[i].second;
    }
  }
  void ExpectSaveError() const {
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].text, "Save Error");
    EXPECT_EQ(window.boxes[0].title, "QD718");
    EXPECT_EQ(window.boxes[0].icon, MsgIcon::Error);
  }
};

TEST_F(SaveFixture, ThreePointsGiveThe35ByteFile) {
  LoadChannel(1, {{1000, 200}, {1010, -5}, {1020, 0}});
  LoadChannel(2, {{1, 2}});
  SaveReference(*store, window, (folder / "a.ref").string(), 1);
  EXPECT_EQ(Read(folder / "a.ref"), ThreePointFile);
  EXPECT_EQ(ThreePointFile.size(), 35u);
  EXPECT_TRUE(window.boxes.empty());
  EXPECT_EQ(Names(), std::vector<std::string>{"a.ref"});
}

TEST_F(SaveFixture, EmptyProfileGivesTheNameLineAlone) {
  SaveReference(*store, window, (folder / "a.ref").string(), 1);
  EXPECT_EQ(Read(folder / "a.ref"), "Model \r\n");
}

TEST_F(SaveFixture, SaveReplacesAnExistingFileWithoutLeavingATemporary) {
  Write("a.ref", "Model \r\n1;1\r\n2;2\r\n3;3\r\n4;4\r\n");
  LoadChannel(1, {{7, -8}});
  SaveReference(*store, window, (folder / "a.ref").string(), 1);
  EXPECT_EQ(Read(folder / "a.ref"), "Model \r\n7;-8\r\n");
  EXPECT_EQ(Names(), std::vector<std::string>{"a.ref"});
}

TEST_F(SaveFixture, FileThatCannotBeCreatedShowsSaveError) {
  Write("plain", "not a folder");
  LoadChannel(1, {{1, 2}});
  SaveReference(*store, window, (folder / "plain" / "a.ref").string(), 1);
  ExpectSaveError();
  EXPECT_EQ(Read(folder / "plain"), "not a folder");
}

TEST_F(SaveFixture, TargetThatIsAFolderShowsSaveErrorAndLeavesNoTemporary) {
  fs::create_directory(folder / "a.ref");
  SaveReference(*store, window, (folder / "a.ref").string(), 1);
  ExpectSaveError();
  EXPECT_EQ(Names(), std::vector<std::string>{"a.ref"});
}

// While alive, the process may not write files beyond a few bytes (as on a full disk).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit saved_{};
  sighandler_t previousHandler_;
};

TEST_F(SaveFixture, FailedWriteKeepsTheExistingFile) {
  const std::string old = "Model \r\n1;1\r\n";
  Write("a.ref", old);
  std::vector<std::pair<int, int>> points;
  for (int i = 0; i < 3000; ++i) points.emplace_back(1000 + 10 * i, -i);
  LoadChannel(1, points);
  {
    FileSizeLimit limit(1024);
    SaveReference(*store, window, (folder / "a.ref").string(), 1);
  }
  ExpectSaveError();
  EXPECT_EQ(Read(folder / "a.ref"), old);
  EXPECT_EQ(Names(), std::vector<std::string>{"a.ref"});
}

TEST_F(SaveFixture, SaveButtonWritesChannelOneUnderTheChosenName) {
  LoadChannel(1, {{1000, 200}, {1010, -5}, {1020, 0}});
  LoadChannel(2, {{5, 5}});
  window.saveDialogAnswers.push_back((folder / "chosen.ref").string());
  cxButton8Click(*store, window);

  ASSERT_EQ(window.saveDialogs.size(), 1u);
  EXPECT_EQ(window.saveDialogs[0].defaultExt, "ref");
  EXPECT_EQ(window.saveDialogs[0].fileName, "Model.ref");
  EXPECT_EQ(window.saveDialogs[0].filter, "REF files (*.ref)|*.ref");
  EXPECT_EQ(Read(folder / "chosen.ref"), ThreePointFile);
}

TEST_F(SaveFixture, CancelledSaveDialogWritesNothing) {
  cxButton8Click(*store, window);
  EXPECT_EQ(window.saveDialogs.size(), 1u);
  EXPECT_TRUE(Names().empty());
  EXPECT_TRUE(window.boxes.empty());
}

struct LoadFixture : FolderFixture {
  std::unique_ptr<TRefProfile> ref = std::make_unique<TRefProfile>();

  LoadFixture() {
    ref->count = 7;
    ref->points[5] = {9, 9};
  }
  void Load(const std::string& wanted) { LoadReference(*ref, folder.string(), wanted); }
  void ExpectUnchanged() const {
    EXPECT_EQ(ref->count, 7);
    EXPECT_EQ(ref->points[5].x, 9);
  }
};

TEST_F(LoadFixture, SavedFileLoadsUnderItsExactName) {
  Write("a.ref", ThreePointFile);
  Load("Model ");
  ASSERT_EQ(ref->count, 3);
  EXPECT_EQ(ref->points[0].x, 1000);
  EXPECT_EQ(ref->points[0].z, 200);
  EXPECT_EQ(ref->points[1].z, -5);
  EXPECT_EQ(ref->points[2].x, 1020);
  EXPECT_EQ(ref->points[5].x, 0);  // the store is cleared before the points go in
}

TEST_F(LoadFixture, NameMustMatchByteForByte) {
  Write("a.ref", ThreePointFile);
  for (const char* wanted : {"Model", "model ", "Model  ", ""}) {
    Load(wanted);
    ExpectUnchanged();
  }
}

TEST_F(LoadFixture, OnlyRefFilesAreLookedAt) {
  Write("a.txt", ThreePointFile);
  Write("aref", ThreePointFile);
  Load("Model ");
  ExpectUnchanged();
}

TEST_F(LoadFixture, MissingFolderLoadsNothing) {
  LoadReference(*ref, (folder / "missing").string(), "Model ");
  ExpectUnchanged();
}

TEST_F(LoadFixture, FirstMatchingFileInListingOrderWins) {
  Write("a.ref", "Model \r\n1;1\r\n");
  Write("b.ref", "Model \r\n2;2\r\n3;3\r\n");
  Write("c.ref", "Other\r\n4;4\r\n");
  std::string first;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name != "c.ref") {
      first = name;
      break;
    }
  }
  Load("Model ");
  EXPECT_EQ(ref->count, first == "a.ref" ? 1 : 2);
  EXPECT_EQ(ref->points[0].x, first == "a.ref" ? 1 : 2);
}

TEST_F(LoadFixture, FolderNamedLikeAFileIsSkipped) {
  fs::create_directory(folder / "model.ref");
  Write("z.ref", ThreePointFile);
  Load("Model ");
  EXPECT_EQ(ref->count, 3);
}

struct TokenCase {
  const char* name;
  std::string points;  // the file after "Model \r\n"
  int count;
  std::vector<std::pair<float, float>> expected;  // the first points of the store
};

class LoadTokensTest : public LoadFixture, public ::testing::WithParamInterface<TokenCase> {};

TEST_P(LoadTokensTest, ReadsEachLineAsAPoint) {
  Write("a.ref", "Model \r\n" + GetParam().points);
  Load("Model ");
  EXPECT_EQ(ref->count, GetParam().count);
  for (std::size_t i = 0; i < GetParam().expected.size(); ++i) {
    EXPECT_EQ(ref->points[i].x, GetParam().expected[i].first) << i;
    EXPECT_EQ(ref->points[i].z, GetParam().expected[i].second) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadTokensTest,
    ::testing::Values(
        TokenCase{"NoPoints", "", 0, {{0, 0}}},
        // A second ";" stores x again.
        TokenCase{"TwoSeparators", "1;2;3\r\n", 1, {{2, 3}}},
        TokenCase{"NoSeparator", "42\r\n", 1, {{0, 42}}},
        // Text after the last line end is not a point, but its x lands in the next slot.
        TokenCase{"TextAfterLastLineEnd", "1;2\r\n7;8", 1, {{1, 2}, {7, 0}}},
        TokenCase{"Signs", "-2147483648;+5\r\n", 1, {{-2147483648.0f, 5}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoadFixture, NameLineWithoutLineEndLoadsNoPoints) {
  Write("a.ref", "Model ");
  Load("Model ");
  EXPECT_EQ(ref->count, 0);
}

TEST_F(LoadFixture, BadTokenStopsTheLoadKeepingTheCountAndWhatWasConverted) {
  const std::vector<std::pair<std::string, std::string>> files = {
      // Lines ending in LF alone: the LF joins the next token.
      {"LfOnly", "Model \r\n1000;200\n1010;-5\n"},
      {"BlankLine", "Model \r\n1000;200\r\n\r\n3;4\r\n"},
      {"DecimalPoint", "Model \r\n1000;200\r\n1.5;2\r\n"},
      {"EndingInSeparator", "Model \r\n1000;200\r\n7;\r\n"}};
  for (const auto& [name, content] : files) {
    SCOPED_TRACE(name);
    ref->count = 7;
    ref->points[5] = {9, 9};
    Write("a.ref", content);
    EXPECT_THROW(Load("Model "), ConversionError);
    EXPECT_EQ(ref->count, 7);
    EXPECT_EQ(ref->points[0].x, 1000);
    EXPECT_EQ(ref->points[5].x, 0);
  }
}

TEST_F(LoadFixture, BadTokenMessageNamesTheToken) {
  Write("a.ref", "Model \r\n1;2\r\n\r\n");
  try {
    Load("Model ");
    FAIL() << "no conversion error";
  } catch (const ConversionError& error) {
    EXPECT_STREQ(error.what(), "'' is not a valid integer value");
  }
}

TEST_F(LoadFixture, AtMost20000PointsAreStored) {
  std::string content = "Model \r\n";
  for (int i = 0; i < RefCapacity + 5; ++i) {
    content += std::to_string(i) + ";" + std::to_string(-i) + "\r\n";
  }
  content += "not;a number\r\n";  // beyond the store: never read
  Write("a.ref", content);
  Load("Model ");
  EXPECT_EQ(ref->count, RefCapacity);
  EXPECT_EQ(ref->points[RefCapacity - 1].x, RefCapacity - 1);
  EXPECT_EQ(ref->points[RefCapacity - 1].z, -(RefCapacity - 1));
}

// The overlay: the built-in outline on both profile charts.
std::vector<std::pair<double, double>> Points(FakeWindow& window, Ser series) {
  std::vector<std::pair<double, double>> points;
  for (const RecordedPoint& point : window.series[series]) {
    EXPECT_EQ(point.color, clRed);
    points.emplace_back(point.x, point.y);
  }
  return points;
}

const std::vector<std::pair<double, double>> Outline = {
    {0, 5000}, {1500, 5000}, {1500, 0}, {136500, 0}, {136500, 5000}, {146500, 5000}};

TEST(Overlay, CompareDrawsTheOutlineOnceOnBothCharts) {
  FakeWindow window;
  window.checked[Ctl::EtCheckBox] = true;
  EtCheckBoxClick(window);
  window.checked[Ctl::EtCheckBox] = false;
  EtCheckBoxClick(window);
  EXPECT_TRUE(window.series[Ser::Series3].empty());
  EXPECT_TRUE(window.series[Ser::Series4].empty());
  window.checked[Ctl::EtCheckBox] = true;
  EtCheckBoxClick(window);
  EXPECT_EQ(Points(window, Ser::Series3), Outline);
  EXPECT_EQ(Points(window, Ser::Series4), Outline);
}

TEST(Overlay, UncheckingWithNothingDrawnLeavesBothSeriesEmpty) {
  FakeWindow window;
  EtCheckBoxClick(window);
  EXPECT_TRUE(window.series[Ser::Series3].empty());
  EXPECT_TRUE(window.series[Ser::Series4].empty());
}

struct StationOverlayFixture : FolderFixture {
  ScriptedScanLink link;
  Station station{link};
  FakeWindow window;
};

TEST_F(StationOverlayFixture, ReferenceChoiceDrawsTheOutlineWithCompareUnchecked) {
  Write("a.ref", ThreePointFile);
  station.programFolder = folder.string();
  window.text[Ctl::EtalComboBox] = "Model ";
  EtalComboBoxChange(station, window);
  EXPECT_EQ(station.ref->count, 3);
  EXPECT_EQ(Points(window, Ser::Series3), Outline);
  EXPECT_FALSE(window.checked[Ctl::EtCheckBox]);
  window.checked[Ctl::EtCheckBox] = true;
  EtCheckBoxClick(station, window);
  EXPECT_EQ(Points(window, Ser::Series4), Outline);
}

TEST_F(StationOverlayFixture, CalculateBeforeAnyMeasurementRedrawsTheEmptyProfile) {
  cxButton7Click(station, window);
  EXPECT_TRUE(window.series[Ser::Series1].empty());
  EXPECT_EQ(window.series[Ser::Series5].size(), 2u);
  EXPECT_EQ(window.Text(Ctl::dxEdit1), "0");
  EXPECT_EQ(window.Text(Ctl::dxEdit2), "0");
  EXPECT_EQ(Points(window, Ser::Series3), Outline);
  EXPECT_EQ(Points(window, Ser::Series4), Outline);
}

}  // namespace
}  // namespace qd718::test
