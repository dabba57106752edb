#include "sim/port_alias.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace qd718::sim {

namespace {

constexpr mode_t PrivateFolderMode = 0700;
constexpr std::string_view ComPrefix = "COM";
constexpr std::size_t MaxPortDigits = 6;

void MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), PrivateFolderMode) != 0 && errno != EEXIST) {
    throw std::runtime_error("cannot create " + path + ": " + std::strerror(errno));
  }
}

bool FolderIsSafe(const std::string& folder) {
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0) return false;
  if (!S_ISDIR(info.st_mode)) return false;
  if (info.st_uid != ::getuid()) return false;
  return (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

std::string UserPortFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') return std::string(runtime) + "/qd718/ports";
  return "/tmp/qd718-" + std::to_string(::getuid()) + "/ports";
}

void MakePortFolder(const std::string& folder) {
  const std::string parent = std::filesystem::path(folder).parent_path().string();
  MakeFolder(parent);
  MakeFolder(folder);
  // A parent that someone else controls could swap the folder under the station's feet.
  if (!FolderIsSafe(parent) || !FolderIsSafe(folder)) {
    throw std::runtime_error("the port folder " + folder +
                             " must belong to you and be writable by no one else "
                             "(the station ignores aliases there)");
  }
}

std::optional<std::string> AliasName(const std::string& text) {
  if (text.size() <= ComPrefix.size() || text.size() > ComPrefix.size() + MaxPortDigits) {
    return std::nullopt;
  }
  for (std::size_t i = 0; i < ComPrefix.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(text[i])) != ComPrefix[i]) return std::nullopt;
  }
  const std::string digits = text.substr(ComPrefix.size());
  for (const char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
  }
  const long number = std::stol(digits);
  if (number < 1) return std::nullopt;
  return std::string(ComPrefix) + std::to_string(number);
}

PortAlias::PortAlias(const std::string& name, const std::string& device) : device_(device) {
  const std::string folder = UserPortFolder();
  MakePortFolder(folder);
  const std::filesystem::path alias = std::filesystem::path(folder) / name;
  path_ = alias.string();

  std::error_code error;
  if (std::filesystem::is_symlink(std::filesystem::symlink_status(alias, error))) {
    const auto target = std::filesystem::canonical(alias, error);
    if (!error) {
      throw std::runtime_error(name + " is already taken: " + path_ + " leads to " +
                               target.string());
    }
  } else if (std::filesystem::exists(std::filesystem::symlink_status(alias, error))) {
    throw std::runtime_error(path_ + " exists and is not an alias; leaving it alone");
  }
  // A new link beside the old one, renamed over it: the name never leads nowhere.
  const std::filesystem::path fresh = alias.string() + ".new" + std::to_string(::getpid());
  std::filesystem::remove(fresh, error);
  std::filesystem::create_symlink(device, fresh, error);
  if (error) throw std::runtime_error("cannot create " + path_ + ": " + error.message());
  std::filesystem::rename(fresh, alias, error);
  if (error) {
    std::filesystem::remove(fresh, error);
    throw std::runtime_error("cannot create " + path_);
  }
}

PortAlias::~PortAlias() {
  std::error_code error;
  // Another sim may have taken the name over meanwhile; its alias stays.
  if (std::filesystem::read_symlink(path_, error) == device_ && !error) {
    std::filesystem::remove(path_, error);
  }
}

}  // namespace qd718::sim
