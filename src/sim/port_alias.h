#pragma once

// The alias COMn in the user's port folder, which leads the station's port name COMn to the
// virtual scanner. The folder rule is the station's: $XDG_RUNTIME_DIR/qd718/ports, else
// /tmp/qd718-<uid>/ports, trusted only when it belongs to the user and no one else can write
// to it. The sim carries its own copy of the rule, since it links no station code.

#include <optional>
#include <string>

namespace qd718::sim {

std::string UserPortFolder();
// Creates the folder (and a missing parent) with mode 0700; throws std::runtime_error when it
// cannot, or when the folder is one the station would not trust.
void MakePortFolder(const std::string& folder);

// "COMn" (any case) with n from 1 on, as the name of the alias file "COMn"; nothing otherwise.
std::optional<std::string> AliasName(const std::string& text);

// Makes the alias on construction (replacing one whose device is gone) and removes it on
// destruction, if it still leads to this device. Throws std::runtime_error when the name is
// taken by a live device or the link cannot be made.
class PortAlias {
 public:
  PortAlias(const std::string& name, const std::string& device);
  ~PortAlias();
  PortAlias(const PortAlias&) = delete;
  PortAlias& operator=(const PortAlias&) = delete;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::string device_;
};

}  // namespace qd718::sim
