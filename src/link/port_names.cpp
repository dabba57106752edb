#include "link/port_names.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace qd718 {

namespace {

// The prefix that the Windows device namespace puts before a port name.
constexpr std::string_view DeviceNamespacePrefix = "\\\\.\\";
constexpr std::string_view ComPrefix = "COM";

// Each family of conventional devices takes 32 COM numbers, in this order.
constexpr int PortsPerFamily = 32;
constexpr std::string_view DeviceFamilies[] = {"/dev/ttyS", "/dev/ttyUSB", "/dev/ttyACM"};
constexpr int HighestMappedPort = PortsPerFamily * static_cast<int>(std::size(DeviceFamilies));

// A port number beyond this is not a port number but a typing accident.
constexpr std::size_t MaxPortDigits = 6;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(text[i])) !=
        std::toupper(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

// The alias COMn in the user's port folder, if there is one that leads to a device.
std::optional<std::string> AliasTarget(int number) {
  const std::string folder = PortFolder();
  if (!PortFolderIsSafe(folder)) return std::nullopt;
  const std::filesystem::path alias =
      std::filesystem::path(folder) / (std::string(ComPrefix) + std::to_string(number));
  std::error_code error;
  // A stale alias (its virtual scanner gone) must not hide the conventional device.
  const auto target = std::filesystem::canonical(alias, error);
  if (error) return std::nullopt;
  return target.string();
}

std::optional<std::string> ConventionalDevice(int number) {
  if (number < 1 || number > HighestMappedPort) return std::nullopt;
  const int index = number - 1;
  return std::string(DeviceFamilies[index / PortsPerFamily]) +
         std::to_string(index % PortsPerFamily);
}

}  // namespace

std::string PortFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') return std::string(runtime) + "/qd718/ports";
  return "/tmp/qd718-" + std::to_string(::getuid()) + "/ports";
}

bool PortFolderIsSafe(const std::string& folder) {
  struct stat info {};
  // lstat: a folder that is itself a symbolic link could lead anywhere.
  if (::lstat(folder.c_str(), &info) != 0) return false;
  if (!S_ISDIR(info.st_mode)) return false;
  if (info.st_uid != ::getuid()) return false;
  return (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

std::optional<int> ComPortNumber(const std::string& name) {
  std::string_view rest = name;
  if (rest.starts_with(DeviceNamespacePrefix)) rest.remove_prefix(DeviceNamespacePrefix.size());
  if (!StartsWithNoCase(rest, ComPrefix)) return std::nullopt;
  rest.remove_prefix(ComPrefix.size());
  if (rest.empty() || rest.size() > MaxPortDigits) return std::nullopt;
  int number = 0;
  for (const char c : rest) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    number = number * 10 + (c - '0');
  }
  return number;
}

std::string DevicePathFor(const std::string& name) {
  if (name.starts_with('/')) return name;
  const auto number = ComPortNumber(name);
  if (!number) return name;
  if (auto alias = AliasTarget(*number)) return *alias;
  if (auto device = ConventionalDevice(*number)) return *device;
  return name;
}

std::string PortDescription(const std::string& name, const std::string& devicePath) {
  if (devicePath.empty() || devicePath == name) return name;
  return name + " \u2192 " + devicePath;
}

}  // namespace qd718
