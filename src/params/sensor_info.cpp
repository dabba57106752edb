#include "params/sensor_info.h"

namespace qd718 {

namespace {

// Reply bytes of the identity fields: each field is a run of nibbles, least significant first.
constexpr int TipFirst = 0;
constexpr int ModifFirst = 2;
constexpr int SerFirst = 4;
constexpr int DiapazFirst = 12;
constexpr int ByteNibbles = 2;
constexpr int WordNibbles = 4;

std::int32_t NibbleValue(const IdentifyReply& reply, int first, int nibbles) {
  std::int32_t value = 0;
  for (int i = nibbles - 1; i >= 0; --i) value = value * 16 + (reply[first + i] & 0x0F);
  return value;
}

}  // namespace

void TSensorInfo::Fill(int channel, const IdentifyReply& reply) {
  Tip = NibbleValue(reply, TipFirst, ByteNibbles);
  Modif = NibbleValue(reply, ModifFirst, ByteNibbles);
  Ser = NibbleValue(reply, SerFirst, WordNibbles);
  // Reply bytes 8 to 11 carry a word that the station does not use.
  DiapazOf(channel) = NibbleValue(reply, DiapazFirst, WordNibbles);
}

bool Identify(Link& link, int channel, TSensorInfo& info) {
  IdentifyReply reply{};
  if (!Identify(link, channel, reply)) return false;
  info.Fill(channel, reply);
  return true;
}

}  // namespace qd718
