#include "sim_wire.h"

namespace qd718::sim::test {

Bytes PayloadOf(std::initializer_list<std::uint8_t> values) {
  Bytes out;
  for (const auto v : values) {
    out.push_back(static_cast<std::uint8_t>(0x80 | (v & 0x0F)));
    out.push_back(static_cast<std::uint8_t>(0x80 | (v >> 4)));
  }
  return out;
}

Bytes Frame(int channel, std::uint8_t command, const Bytes& payload) {
  Bytes out{static_cast<std::uint8_t>(channel), command};
  out.insert(out.end(), payload.begin(), payload.end());
  return out;
}

Bytes Exchange(VirtualScanner& scanner, const Bytes& request) {
  for (const auto b : request) scanner.Receive(b);
  return scanner.TakeOutput();
}

Bytes TableBlockWrite(int channel, int block, const std::vector<std::int16_t>& values) {
  Bytes payload;
  for (const auto value : values) {
    const auto v = static_cast<std::uint16_t>(value);
    for (int shift = 0; shift < 16; shift += 4) {
      payload.push_back(static_cast<std::uint8_t>(0x80 | ((v >> shift) & 0x0F)));
    }
  }
  const Bytes number = PayloadOf({static_cast<std::uint8_t>(block)});
  payload.insert(payload.end(), number.begin(), number.end());
  payload.push_back(0x8A);
  payload.push_back(0x8A);
  return Frame(channel, 0x8A, payload);
}

std::uint32_t NibblesValue(const Bytes& reply, std::size_t first, int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i)
    value |= static_cast<std::uint32_t>(reply[first + i] & 0x0F) << (4 * i);
  return value;
}

}  // namespace qd718::sim::test
