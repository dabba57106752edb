// qd718-sim as the engineer and the scripts meet it: the device path first, the alias made
// and removed, a clean exit on a signal, a refused command line, and a line that a station
// can purge, close and reopen without the sim getting stuck.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "sim_process.h"

namespace qd718::sim::test {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

const Bytes Identify1{0x01, 0x81};
const Bytes Readout1{0x01, 0x8D};
constexpr std::size_t IdentifyBytes = 16;
constexpr std::size_t ReadoutBytes = 12288;

bool IsCharacterDevice(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode);
}

TEST(SimProcess, FirstLineIsTheDeviceItAnswersOn) {
  SimProcess sim({});
  const std::string device = sim.FirstLine();
  ASSERT_TRUE(device.starts_with("/dev/")) << device;
  ASSERT_TRUE(IsCharacterDevice(device));
  Terminal line(device);
  ASSERT_TRUE(line.IsOpen());
  line.Write(Identify1);
  EXPECT_EQ(line.Read(IdentifyBytes).size(), IdentifyBytes);
  line.Close();
  EXPECT_EQ(sim.Stop(SIGTERM), 0);
}

TEST(SimProcess, ExitsCleanlyOnInterrupt) {
  SimProcess sim({"--scene", "plate", "--seed", "9"});
  ASSERT_FALSE(sim.FirstLine().empty());
  EXPECT_EQ(sim.Stop(SIGINT), 0);
}

class AliasFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    runtime =
        std::filesystem::temp_directory_path() / ("qd718-sim-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
  }
  void TearDown() override { std::filesystem::remove_all(runtime); }

  std::filesystem::path runtime;
};

TEST_F(AliasFolder, AliasLeadsToTheDeviceAndGoesAwayOnExit) {
  SimProcess sim({"--alias", "COM7"}, {{"XDG_RUNTIME_DIR", runtime.string()}});
  const std::string device = sim.FirstLine();
  ASSERT_FALSE(device.empty());
  const auto folder = runtime / "qd718" / "ports";
  const auto alias = folder / "COM7";
  ASSERT_TRUE(std::filesystem::is_symlink(alias));
  EXPECT_EQ(std::filesystem::read_symlink(alias), device);
  EXPECT_EQ(std::filesystem::status(folder).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_all)
      << "no one else may write where the station looks for aliases";

  Terminal line(alias.string());
  line.Write(Identify1);
  EXPECT_EQ(line.Read(IdentifyBytes).size(), IdentifyBytes);
  line.Close();

  EXPECT_EQ(sim.Stop(SIGTERM), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(alias)));
}

TEST_F(AliasFolder, AliasOfALiveSimIsNotTakenOver) {
  SimProcess first({"--alias", "COM3"}, {{"XDG_RUNTIME_DIR", runtime.string()}});
  const std::string device = first.FirstLine();
  ASSERT_FALSE(device.empty());
  SimProcess second({"--alias", "COM3"}, {{"XDG_RUNTIME_DIR", runtime.string()}});
  EXPECT_NE(second.Wait(), 0);
  EXPECT_EQ(std::filesystem::read_symlink(runtime / "qd718" / "ports" / "COM3"), device);
  EXPECT_EQ(first.Stop(SIGTERM), 0);
}

TEST_F(AliasFolder, StaleAliasIsReplaced) {
  const auto folder = runtime / "qd718" / "ports";
  std::filesystem::create_directories(folder);
  std::filesystem::permissions(runtime / "qd718", std::filesystem::perms::owner_all);
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
  std::filesystem::create_symlink("/dev/pts/does-not-exist", folder / "COM2");
  SimProcess sim({"--alias", "com2"}, {{"XDG_RUNTIME_DIR", runtime.string()}});
  const std::string device = sim.FirstLine();
  ASSERT_FALSE(device.empty());
  EXPECT_EQ(std::filesystem::read_symlink(folder / "COM2"), device);
  EXPECT_EQ(sim.Stop(SIGTERM), 0);
}

TEST_F(AliasFolder, FolderOthersCanWriteToIsRefused) {
  const auto folder = runtime / "qd718" / "ports";
  std::filesystem::create_directories(folder);
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all |
                                           std::filesystem::perms::others_write |
                                           std::filesystem::perms::others_exec);
  SimProcess sim({"--alias", "COM1"}, {{"XDG_RUNTIME_DIR", runtime.string()}});
  EXPECT_EQ(sim.FirstLine(), "");
  EXPECT_NE(sim.Wait(), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(folder / "COM1")));
}

class BadCommandLine : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(BadCommandLine, ExitsWithStatus2) {
  SimProcess sim(GetParam());
  EXPECT_EQ(sim.Wait(), 2);
}

INSTANTIATE_TEST_SUITE_P(Refused, BadCommandLine,
                         ::testing::Values(std::vector<std::string>{"--scene", "ditch"},
                                           std::vector<std::string>{"--alias", "LPT1"},
                                           std::vector<std::string>{"--alias", "COM0"},
                                           std::vector<std::string>{"--seed", "many"},
                                           std::vector<std::string>{"--silent", "3"},
                                           std::vector<std::string>{"--short", "1:0x8D"},
                                           std::vector<std::string>{"--short", "1:0x99:10"},
                                           std::vector<std::string>{"--short", "1:141:-1"},
                                           std::vector<std::string>{"--busy", "2:lots"},
                                           std::vector<std::string>{"--bad-ack", "1:0"},
                                           std::vector<std::string>{"--bad-ack", "1:7"},
                                           std::vector<std::string>{"--frobnicate"}));

TEST(SimLine, FaultsFromTheCommandLine) {
  SimProcess sim({"--silent", "2", "--short", "1:141:100"});
  Terminal line(sim.FirstLine());
  line.Write({0x02, 0x81});
  EXPECT_TRUE(line.Read(IdentifyBytes, 300ms).empty());
  line.Write(Readout1);
  EXPECT_EQ(line.Read(ReadoutBytes, 300ms).size(), 100u);
  EXPECT_EQ(sim.Stop(SIGTERM), 0);
}

// A station that purges drops the rest of a reply it no longer wants; the next reply comes
// clean.
TEST(SimLine, PurgeDropsAStaleReply) {
  SimProcess sim({"--pace"});
  Terminal line(sim.FirstLine());
  line.Write(Readout1);
  line.Read(64);
  line.Purge();
  // A byte already on its way when the purge came may still land; the second purge takes it,
  // and the rest of the scan (a second of line time) must not follow.
  std::this_thread::sleep_for(50ms);
  line.Purge();
  line.Write(Identify1);
  const Bytes reply = line.Read(IdentifyBytes + 1, 300ms);
  ASSERT_EQ(reply.size(), IdentifyBytes);
  EXPECT_EQ(reply[0], 0x87) << "the identify reply, not the rest of the scan";
  EXPECT_EQ(sim.Stop(SIGTERM), 0);
}

TEST(SimLine, StationClosingMidReplyAndReopeningIsServed) {
  SimProcess sim({});
  const std::string device = sim.FirstLine();
  {
    Terminal line(device);
    line.Write(Readout1);
    line.Read(10);
  }  // closed with most of the scan unread
  Terminal again(device);
  // The sim may still be handing over the tail of the abandoned reply when the port reopens;
  // once the line has been quiet for a while, a purge leaves nothing stale behind.
  again.Read(ReadoutBytes, 300ms);
  again.Purge();
  again.Write(Identify1);
  const Bytes reply = again.Read(IdentifyBytes + 1, 300ms);
  ASSERT_EQ(reply.size(), IdentifyBytes);
  EXPECT_EQ(reply[0], 0x87);
  EXPECT_EQ(sim.Stop(SIGTERM), 0);
}

// With --pace a scan readout takes at least its time on a 115200 baud line; without, it
// comes at once. Only the lower bound is firm; the upper one is generous for loaded machines.
TEST(SimLine, PaceSendsAtTheLineRate) {
  constexpr auto LineTime = std::chrono::microseconds(ReadoutBytes * 86806 / 1000);
  for (const bool pace : {true, false}) {
    SimProcess sim(pace ? std::vector<std::string>{"--pace"} : std::vector<std::string>{});
    Terminal line(sim.FirstLine());
    const auto start = std::chrono::steady_clock::now();
    line.Write(Readout1);
    ASSERT_EQ(line.Read(ReadoutBytes).size(), ReadoutBytes);
    const auto took = std::chrono::steady_clock::now() - start;
    if (pace) {
      EXPECT_GE(took, LineTime - 5ms);
      EXPECT_LT(took, LineTime * 3);
    } else {
      EXPECT_LT(took, LineTime / 2);
    }
    EXPECT_EQ(sim.Stop(SIGTERM), 0);
  }
}

}  // namespace
}  // namespace qd718::sim::test
