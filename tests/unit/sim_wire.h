#pragma once

// Requests built by hand, byte by byte, the way the scanner's manual shows them, so that the
// device model is checked against the wire and not against the station's own encoder.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "sim/virtual_scanner.h"

namespace qd718::sim::test {

using Bytes = std::vector<std::uint8_t>;

// 0x80 + nibble, low nibble first: the payload bytes of one byte value.
Bytes PayloadOf(std::initializer_list<std::uint8_t> values);
// Address byte, command byte, payload.
Bytes Frame(int channel, std::uint8_t command, const Bytes& payload = {});
// Feeds the bytes and returns everything the scanner has to send.
Bytes Exchange(VirtualScanner& scanner, const Bytes& request);
// A table block write: 512 values as four nibbles each, the block number, 0x8A 0x8A.
Bytes TableBlockWrite(int channel, int block, const std::vector<std::int16_t>& values);
// The value of reply bytes, least significant nibble first.
std::uint32_t NibblesValue(const Bytes& reply, std::size_t first, int count);

}  // namespace qd718::sim::test
