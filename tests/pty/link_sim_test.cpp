// The serial link and the protocol against qd718-sim on its pseudo-terminal, in real time.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>

#include "link/port_names.h"
#include "link/protocol.h"
#include "link/scanner_link.h"
#include "pty/link_pty.h"
#include "pty/link_sim_process.h"

namespace qd718::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr auto Slack = 250ms;

TEST(LinkOnSim, IdentifiesTheVirtualScannerAndKeepsItsRegisters) {
  SimProcess sim({});
  ASSERT_FALSE(sim.Path().empty()) << "qd718-sim did not start";
  TScannerLink link;
  ASSERT_TRUE(link.OpenPort(sim.Path()));

  IdentifyReply first{};
  IdentifyReply second{};
  ASSERT_TRUE(Identify(link, 1, first));
  ASSERT_TRUE(Identify(link, 2, second));
  // Type, modification and serial number belong to the scanner, not to a channel.
  EXPECT_TRUE(std::equal(first.begin(), first.begin() + 8, second.begin()));

  ASSERT_TRUE(WriteRegister(link, 2, 58, 2, 0x2345));
  EXPECT_EQ(ReadRegister(link, 2, 58, 2), 0x2345);

  int status = -1;
  PrepareScan(link, status);
  EXPECT_EQ(status & 0x01, 0);
  link.ClosePort();
  EXPECT_EQ(sim.Stop(SIGTERM), 0);
}

// A runtime folder of the test's own, for the sim's alias and the link alike.
class LinkOnSimAlias : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) saved_ = old;
    char pattern[] = "/tmp/qd718-link-sim-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    runtime_ = pattern;
    ::setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
  }
  void TearDown() override {
    if (saved_) {
      ::setenv("XDG_RUNTIME_DIR", saved_->c_str(), 1);
    } else {
      ::unsetenv("XDG_RUNTIME_DIR");
    }
    std::error_code ignored;
    fs::remove_all(runtime_, ignored);
  }

  std::string runtime_;
  std::optional<std::string> saved_;
};

TEST_F(LinkOnSimAlias, AnAliasLeadsToTheVirtualScanner) {
  SimProcess sim({"--alias", "COM7"});
  ASSERT_FALSE(sim.Path().empty()) << "qd718-sim did not start";
  TScannerLink link;
  ASSERT_TRUE(link.OpenPort("COM7"));
  EXPECT_EQ(link.DevicePath(), fs::canonical(sim.Path()).string());
  IdentifyReply reply{};
  EXPECT_TRUE(Identify(link, 1, reply));
  link.ClosePort();
  EXPECT_EQ(sim.Stop(SIGTERM), 0);
  // The alias went with it.
  EXPECT_EQ(DevicePathFor("COM7"), "/dev/ttyS6");
}

TEST(LinkOnSim, ScannerKilledMidReadGivesMissingRepliesAndCloseWorks) {
  SimProcess sim({"--silent", "1"});
  ASSERT_FALSE(sim.Path().empty()) << "qd718-sim did not start";
  TScannerLink link;
  ASSERT_TRUE(link.OpenPort(sim.Path()));

  std::thread killer([&] {
    std::this_thread::sleep_for(300ms);
    sim.Stop(SIGKILL);
  });
  IdentifyReply reply{};
  const auto start = Clock::now();
  EXPECT_FALSE(Identify(link, 1, reply));  // waiting for the silent channel when it dies
  killer.join();
  EXPECT_LT(Since(start), ReadTotalTimeout(IdentifyReplyBytes) + Slack);

  const auto after = Clock::now();
  EXPECT_FALSE(Identify(link, 2, reply));
  EXPECT_EQ(ReadRegister(link, 2, 56, 2), NoReply);
  EXPECT_LT(Since(after),
            ReadTotalTimeout(IdentifyReplyBytes) + ReadTotalTimeout(RegisterReplyBytes) + Slack);
  link.ClosePort();
  EXPECT_FALSE(link.IsOpen());
}

}  // namespace
}  // namespace qd718::test
