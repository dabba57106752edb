// How port names lead to devices: COM numbers, the user's aliases, device paths.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "link/port_names.h"

namespace qd718::test {
namespace {

namespace fs = std::filesystem;

struct NumberCase {
  std::string name;
  std::optional<int> number;
};

TEST(ComPortNumber, ReadsBothNameForms) {
  const NumberCase cases[] = {
      {"COM1", 1},        {"com7", 7},     {"\\\\.\\COM17", 17}, {"\\\\.\\com3", 3},
      {"COM", {}},        {"COMx", {}},    {"COM1a", {}},        {"COM-1", {}},
      {"/dev/ttyS0", {}}, {"ttyUSB0", {}}, {"\\\\.\\", {}},      {"COM12345678", {}},
      {" COM1", {}},      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ComPortNumber(c.name), c.number) << c.name;
}

// Each test gets a runtime folder of its own, so the engineer's real aliases play no part.
class PortNames : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) saved_ = old;
    char pattern[] = "/tmp/qd718-port-names-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    runtime_ = pattern;
    ::setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(runtime_, ignored);
    if (saved_) {
      ::setenv("XDG_RUNTIME_DIR", saved_->c_str(), 1);
    } else {
      ::unsetenv("XDG_RUNTIME_DIR");
    }
  }

  // The user's port folder, made as qd718-sim makes it, with COM1 leading to a device.
  fs::path MakeAlias(const std::string& alias = "COM1") {
    const fs::path folder = PortFolder();
    fs::create_directories(folder);
    ::chmod(folder.c_str(), 0700);
    device_ = runtime_ / "pts-7";
    { std::ofstream(device_.string()) << ""; }
    fs::create_symlink(device_, folder / alias);
    return folder;
  }

  fs::path runtime_;
  fs::path device_;
  std::optional<std::string> saved_;
};

struct PathCase {
  std::string name;
  std::string path;
};

TEST_F(PortNames, ComNumbersLeadToTheConventionalDevices) {
  const PathCase cases[] = {
      {"COM1", "/dev/ttyS0"},
      {"COM32", "/dev/ttyS31"},
      {"COM33", "/dev/ttyUSB0"},
      {"\\\\.\\COM33", "/dev/ttyUSB0"},
      {"COM64", "/dev/ttyUSB31"},
      {"COM65", "/dev/ttyACM0"},
      {"COM96", "/dev/ttyACM31"},
      // Beyond the mapped numbers the name stays as it is, and opening it fails.
      {"COM0", "COM0"},
      {"COM97", "COM97"},
      {"/dev/pts/4", "/dev/pts/4"},
      {"/dev/serial/by-id/usb-x", "/dev/serial/by-id/usb-x"},
  };
  for (const auto& c : cases) EXPECT_EQ(DevicePathFor(c.name), c.path) << c.name;
}

TEST_F(PortNames, PortFolderFollowsTheRuntimeFolder) {
  EXPECT_EQ(PortFolder(), runtime_.string() + "/qd718/ports");
  ::unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(PortFolder(), "/tmp/qd718-" + std::to_string(::getuid()) + "/ports");
}

TEST_F(PortNames, AnAliasComesBeforeTheConventionalDevice) {
  MakeAlias();
  EXPECT_EQ(DevicePathFor("COM1"), fs::canonical(device_).string());
  EXPECT_EQ(DevicePathFor("\\\\.\\COM1"), fs::canonical(device_).string());
  EXPECT_EQ(DevicePathFor("COM2"), "/dev/ttyS1");
}

TEST_F(PortNames, AStaleAliasDoesNotHideTheDevice) {
  MakeAlias();
  fs::remove(device_);
  EXPECT_EQ(DevicePathFor("COM1"), "/dev/ttyS0");
}

TEST_F(PortNames, AliasesInAFolderOthersCanWriteAreIgnored) {
  const fs::path folder = MakeAlias();
  for (const mode_t mode : {0770, 0707, 0777}) {
    ::chmod(folder.c_str(), mode);
    EXPECT_FALSE(PortFolderIsSafe(folder)) << std::oct << mode;
    EXPECT_EQ(DevicePathFor("COM1"), "/dev/ttyS0") << std::oct << mode;
  }
  ::chmod(folder.c_str(), 0755);
  EXPECT_TRUE(PortFolderIsSafe(folder));
}

TEST_F(PortNames, AliasesInAFolderThatIsALinkAreIgnored) {
  const fs::path folder = MakeAlias();
  const fs::path real = runtime_ / "elsewhere";
  fs::rename(folder, real);
  fs::create_directory_symlink(real, folder);
  EXPECT_FALSE(PortFolderIsSafe(folder));
  EXPECT_EQ(DevicePathFor("COM1"), "/dev/ttyS0");
}

TEST_F(PortNames, AliasesInSomeoneElsesFolderAreIgnored) {
  const fs::path folder = MakeAlias();
  constexpr uid_t Nobody = 65534;
  if (::chown(folder.c_str(), Nobody, Nobody) != 0) GTEST_SKIP() << "needs root to give away";
  EXPECT_FALSE(PortFolderIsSafe(folder));
  EXPECT_EQ(DevicePathFor("COM1"), "/dev/ttyS0");
}

TEST(PortDescription, ShowsWhereANameLeads) {
  EXPECT_EQ(PortDescription("COM1", "/dev/pts/4"), "COM1 \u2192 /dev/pts/4");
  EXPECT_EQ(PortDescription("/dev/pts/4", "/dev/pts/4"), "/dev/pts/4");
  EXPECT_EQ(PortDescription("COM1", ""), "COM1");
}

}  // namespace
}  // namespace qd718::test
