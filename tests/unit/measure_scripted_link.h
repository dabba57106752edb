#pragma once

// A link for the measurement tests: the scanner answers every status query "not busy" and
// each channel's scan readout with the reply bytes the test gives it (nothing for a channel
// without one). Everything written is recorded; time is virtual.

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/commands.h"
#include "link/link.h"
#include "link/protocol.h"
#include "measure/scan_acquisition.h"

namespace qd718::test {

class ScriptedScanLink final : public Link {
 public:
  // channel -> the scan readout reply, as many bytes as the channel sends.
  std::map<int, std::vector<std::uint8_t>> scanReplies;
  std::vector<std::uint8_t> written;
  int purges = 0;

  bool OpenPort(const std::string&) override { return true; }
  void ClosePort() override {}
  bool IsOpen() const override { return true; }
  void PurgeBuffers() override {
    ++purges;
    request_.clear();
  }
  int WriteByte(std::uint8_t byte) override {
    written.push_back(byte);
    request_.push_back(byte);
    return 1;
  }
  int ReadBytes(std::uint8_t* buffer, int count) override {
    std::vector<std::uint8_t> reply;
    if (request_.size() >= 2 && request_[1] == static_cast<std::uint8_t>(Command::ReadStatus)) {
      reply.assign(StatusReplyBytes, 0);
    } else if (request_.size() >= 2 &&
               request_[1] == static_cast<std::uint8_t>(Command::ScanReadout)) {
      const auto found = scanReplies.find(request_[0]);
      if (found != scanReplies.end()) reply = found->second;
    }
    const int got = std::min<int>(count, static_cast<int>(reply.size()));
    std::copy(reply.begin(), reply.begin() + got, buffer);
    return got;
  }
  Clock& GetClock() override { return clock_; }

  // Whether a scan readout of the channel was requested.
  bool ReadoutRequested(int channel) const {
    for (std::size_t i = 0; i + 1 < written.size(); ++i) {
      if (written[i] == channel &&
          written[i + 1] == static_cast<std::uint8_t>(Command::ScanReadout))
        return true;
    }
    return false;
  }

 private:
  std::vector<std::uint8_t> request_;
  VirtualClock clock_;
};

// A scan readout reply built sample by sample: raw heights, 0 for an empty sample. Each raw
// value goes out as four nibble bytes, least significant first; the high nibbles carry noise
// that the station must ignore.
inline std::vector<std::uint8_t> ScanReply(const std::vector<int>& raw,
                                           int bytes = DefaultScanReplyBytes) {
  std::vector<std::uint8_t> reply(static_cast<std::size_t>(bytes), 0xA0);
  for (std::size_t s = 0; s < raw.size() && (s + 1) * SampleBytes <= reply.size(); ++s) {
    for (int k = 0; k < SampleBytes; ++k) {
      reply[s * SampleBytes + k] = static_cast<std::uint8_t>(0xA0 | ((raw[s] >> (4 * k)) & 0x0F));
    }
  }
  return reply;
}

}  // namespace qd718::test
