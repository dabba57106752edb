#pragma once

#include <array>
#include <cstdint>

#include "link/link.h"
#include "link/protocol.h"

namespace qd718 {

// Who the scanner is. Tip, Modif and Ser exist once and every successful Identify overwrites
// them with the answering channel's values; Diapaz is kept per channel.
struct TSensorInfo {
  std::int32_t Tip = 0;
  std::int32_t Modif = 0;
  std::int32_t Ser = 0;
  std::array<std::int32_t, 2> Diapaz{};  // element 0 belongs to channel 1

  std::int32_t& DiapazOf(int channel) { return Diapaz[channel == 1 ? 0 : 1]; }
  std::int32_t DiapazOf(int channel) const { return Diapaz[channel == 1 ? 0 : 1]; }

  // Fills the fields from an identify reply of the addressed channel.
  void Fill(int channel, const IdentifyReply& reply);
};

// Identify of one channel; the identity is filled when all 16 reply bytes arrived.
bool Identify(Link& link, int channel, TSensorInfo& info);

}  // namespace qd718
