#pragma once

// One channel of the scanner: its identity, parameter memory with flash and factory copies,
// calibration table, scan status and last scan, and the faults it was told to show.

#include <array>
#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "sim/request_parser.h"
#include "sim/scanner_layout.h"
#include "sim/scenes.h"

namespace qd718::sim {

struct ChannelIdentity {
  int tip = 0;
  int modif = 0;
  int serial = 0;
  int spare = 0;  // the identify word that the station does not use
  int range = 0;  // Diapaz, millimetres
};

struct ChannelFaults {
  bool silent = false;
  std::map<std::uint8_t, int> shortReplies;  // command byte -> reply bytes actually sent
  int busyCount = -1;                        // status queries answered busy; -1: the default
  int badAckBlock = 0;                       // table block (1-6) acknowledged wrong; 0: none
};

using RegisterMemory = std::array<std::uint8_t, RegisterCount>;

// Status queries that a channel answers busy after a scan start, when no fault says otherwise.
inline constexpr int DefaultBusyQueries = 3;

class ScannerChannel {
 public:
  ScannerChannel(ChannelIdentity identity, const Scene& scene, std::uint32_t seed,
                 ChannelFaults faults);

  // The reply bytes to a complete request addressed to this channel (none for some commands
  // and for a silent channel).
  std::vector<std::uint8_t> Answer(const Request& request);

  const ChannelIdentity& Identity() const { return identity_; }
  RegisterMemory& Registers() { return registers_; }
  const RegisterMemory& Registers() const { return registers_; }
  const RegisterMemory& Flash() const { return flash_; }
  const RegisterMemory& Factory() const { return factory_; }
  std::array<std::int16_t, TableEntries>& Table() { return table_; }
  const std::array<std::int16_t, TableEntries>& Table() const { return table_; }
  const std::vector<std::uint16_t>& LastScan() const { return scan_; }
  int ScansTaken() const { return scansTaken_; }

 private:
  std::vector<std::uint8_t> IdentifyReply() const;
  std::vector<std::uint8_t> ReadRegisterReply(const Request& request) const;
  void WriteRegister(const Request& request);
  std::vector<std::uint8_t> ParamStoreReply(const Request& request);
  std::vector<std::uint8_t> StatusReply();
  void StartScan();
  std::vector<std::uint8_t> ScanReadoutReply() const;
  std::vector<std::uint8_t> ReadTableBlockReply(const Request& request) const;
  std::vector<std::uint8_t> WriteTableBlockReply(const Request& request);

  int RegisterWord(int reg) const;
  void Scan();

  ChannelIdentity identity_;
  const Scene& scene_;
  std::mt19937 random_;
  ChannelFaults faults_;
  RegisterMemory registers_{};
  RegisterMemory flash_{};
  RegisterMemory factory_{};
  std::array<std::int16_t, TableEntries> table_{};
  std::vector<std::uint16_t> scan_;
  int busyLeft_ = 0;
  int scansTaken_ = 0;
};

}  // namespace qd718::sim
