#include "params_scripted_link.h"

#include <algorithm>

namespace qd718::test {

namespace {

constexpr Micros ByteTime{87};  // one byte at 115200 baud 8N1
constexpr Millis ReadConstant{500};
constexpr Millis ReadPerByte{100};
constexpr Millis ReadInterval{100};
constexpr Millis ClosePause{100};

constexpr std::uint8_t Identify = 0x81;
constexpr std::uint8_t ReadReg = 0x82;
constexpr std::uint8_t WriteReg = 0x83;
constexpr std::uint8_t Store = 0x84;
constexpr std::uint8_t ReadBlock = 0x89;
constexpr std::uint8_t WriteBlock = 0x8A;
constexpr int WriteRegRequestBytes = 6;
constexpr int BlockValues = 512;
constexpr int FirstBlock = 41;
constexpr int BlockCount = 6;
constexpr int WriteBlockRequestBytes = 2 + BlockValues * 4 + 4;

int Nib(std::uint8_t byte) {
  return byte & 0x0F;
}
int ByteAt(const Bytes& request, std::size_t at) {
  return Nib(request[at]) | (Nib(request[at + 1]) << 4);
}
Bytes NibbleBytes(int value, int nibbles) {
  Bytes bytes;
  for (int i = 0; i < nibbles; ++i) bytes.push_back(0x30 | ((value >> (4 * i)) & 0x0F));
  return bytes;
}
int Index(int channel) {
  return channel == 1 ? 0 : 1;
}

}  // namespace

Bytes TableValueBytes(std::int16_t value) {
  const auto pattern = static_cast<std::uint16_t>(value);
  Bytes bytes;
  for (int i = 0; i < 4; ++i) bytes.push_back(0x80 | ((pattern >> (4 * i)) & 0x0F));
  return bytes;
}

ScriptedLink::ScriptedLink() {
  identity[0] = {7, 3, 4660, 250};
  identity[1] = {8, 4, 4661, 300};
}

void ScriptedLink::SetRegisterWord(int channel, int reg, int value) {
  registers[Index(channel)][reg] = static_cast<std::uint8_t>(value & 0xFF);
  registers[Index(channel)][reg + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

int ScriptedLink::RegisterWord(int channel, int reg) const {
  return registers[Index(channel)][reg] | (registers[Index(channel)][reg + 1] << 8);
}

bool ScriptedLink::OpenPort(const std::string& name) {
  opened.push_back(name);
  open_ = availablePorts.count(name) > 0;
  return open_;
}

void ScriptedLink::ClosePort() {
  if (!open_) return;
  open_ = false;
  ++closes;
  clock_.Sleep(ClosePause);
}

void ScriptedLink::PurgeBuffers() {
  ThrowIfCancelled();
  pending_.clear();
}

int ScriptedLink::WriteByte(std::uint8_t byte) {
  ThrowIfCancelled();
  if (!open_ || failWritesAfter == 0) return 0;
  if (failWritesAfter > 0) --failWritesAfter;
  written.push_back(byte);
  pending_.push_back(byte);
  clock_.Sleep(ByteTime);
  SettleWrites();
  return 1;
}

void ScriptedLink::SettleWrites() {
  if (pending_.size() == WriteRegRequestBytes && pending_[1] == WriteReg) {
    const int channel = pending_[0];
    if (!silent.count(channel)) {
      registers[Index(channel)][ByteAt(pending_, 2)] =
          static_cast<std::uint8_t>(ByteAt(pending_, 4));
    }
    requests.push_back(pending_);
    pending_.clear();
  }
}

int ScriptedLink::ReadBytes(std::uint8_t* buffer, int count) {
  ThrowIfCancelled();
  if (!open_ || count <= 0) return 0;
  const Bytes request = pending_;
  pending_.clear();
  requests.push_back(request);
  std::optional<Bytes> reply;
  if (answer) reply = answer(request);
  if (!reply) reply = Respond(request);
  const int got = std::min<int>(count, static_cast<int>(reply->size()));
  std::copy_n(reply->begin(), got, buffer);
  clock_.Sleep(ByteTime * got);
  if (got == 0) {
    clock_.Sleep(ReadConstant + ReadPerByte * count);
  } else if (got < count) {
    clock_.Sleep(ReadInterval);
  }
  return got;
}

Bytes ScriptedLink::Respond(const Bytes& request) {
  if (request.size() < 2) return {};
  const int channel = request[0];
  if (channel != 1 && channel != 2) return {};
  if (silent.count(channel)) return {};
  const std::uint8_t command = request[1];
  if (command == Identify && request.size() == 2) {
    if (unansweredGreetings[channel] > 0) {
      --unansweredGreetings[channel];
      return {};
    }
    const ScriptedIdentity& id = identity[Index(channel)];
    Bytes reply = NibbleBytes(id.Tip, 2);
    for (const Bytes& part : {NibbleBytes(id.Modif, 2), NibbleBytes(id.Ser, 4),
                              NibbleBytes(0xBEEF, 4), NibbleBytes(id.Diapaz, 4)}) {
      reply.insert(reply.end(), part.begin(), part.end());
    }
    return reply;
  }
  if (command == ReadReg && request.size() == 4) {
    auto left = registerRepliesLeft.find(channel);
    if (left != registerRepliesLeft.end()) {
      if (left->second == 0) return {};
      --left->second;
    }
    return NibbleBytes(registers[Index(channel)][ByteAt(request, 2)], 2);
  }
  if (command == Store && request.size() == 4) return NibbleBytes(ByteAt(request, 2), 2);
  if (command == ReadBlock && request.size() == 4) {
    const int block = ByteAt(request, 2) - FirstBlock;
    if (block < 0 || block >= BlockCount) return {};
    Bytes reply;
    for (int i = 0; i < BlockValues; ++i) {
      const Bytes value = TableValueBytes(table[Index(channel)][block * BlockValues + i]);
      reply.insert(reply.end(), value.begin(), value.end());
    }
    return reply;
  }
  if (command == WriteBlock && request.size() == WriteBlockRequestBytes) {
    const int block = ByteAt(request, 2 + BlockValues * 4) - FirstBlock;
    if (block < 0 || block >= BlockCount) return {};
    for (int i = 0; i < BlockValues; ++i) {
      std::uint16_t pattern = 0;
      for (int n = 0; n < 4; ++n) pattern |= Nib(request[2 + 4 * i + n]) << (4 * n);
      table[Index(channel)][block * BlockValues + i] = static_cast<std::int16_t>(pattern);
    }
    return {0x8A, 0x8A};
  }
  return {};
}

std::vector<Bytes> ScriptedLink::RequestsWith(std::uint8_t command) const {
  std::vector<Bytes> found;
  for (const Bytes& request : requests) {
    if (request.size() >= 2 && request[1] == command) found.push_back(request);
  }
  return found;
}

}  // namespace qd718::test
