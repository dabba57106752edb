#include "measure/scan_acquisition.h"

#include <algorithm>
#include <vector>

#include "link/protocol.h"
#include "measure/int_arith.h"

namespace qd718 {

namespace {

// x of a sample: the sample index times the step, which Diskr holds in tenths of a
// micrometre, shifted by the x origin.
constexpr double DiskrUnit = 0.1;
constexpr std::int32_t XOriginOffset = 5000;
// z of a sample: raw is the height in 1/16384 of the measuring range, given in millimetres.
constexpr std::int64_t RawFullScale = 16384;
constexpr std::int64_t MicronsPerMillimetre = 1000;

int SampleRaw(const std::uint8_t* nibbles, int sample) {
  const std::uint8_t* at = nibbles + sample * SampleBytes;
  return at[0] + 16 * at[1] + 256 * at[2] + 4096 * at[3];
}

bool SampleEmpty(const std::uint8_t* nibbles, int sample) {
  const std::uint8_t* at = nibbles + sample * SampleBytes;
  return (at[0] | at[1] | at[2] | at[3]) == 0;
}

}  // namespace

void ConvertScan(const std::uint8_t* nibbles, int replyBytes, std::int32_t diapaz, float diskr,
                 std::int16_t xBeg, TProfileStore& store, int channel) {
  const int samples = std::clamp(replyBytes / SampleBytes, 0, ProfileCapacity);
  int first = 0;
  while (first < samples && SampleEmpty(nibbles, first)) ++first;

  store.ClearChannel(channel);

  // Samples converted below the length limit; the sample that reaches it stays in the
  // scratch but does not count.
  int converted = 0;
  for (int sample = first; sample < samples; ++sample) {
    const std::int64_t z =
        SampleRaw(nibbles, sample) * std::int64_t{diapaz} * MicronsPerMillimetre / RawFullScale;
    // The index and the step are multiplied in double: in single precision the product
    // would lose micrometres on long scans.
    const double along = static_cast<double>(sample) * static_cast<double>(diskr) * DiskrUnit;
    const std::int64_t x = std::int64_t{TruncToInt32(along)} + xBeg - XOriginOffset;
    TPointXZ& entry = store.ScanScratch[sample - first];
    entry.x = ClampToInt32(x);
    entry.z = ClampToInt32(z);
    if (std::int64_t{entry.x} >= std::int64_t{store.ScanScratch[0].x} + ScanLengthLimit) break;
    ++converted;
  }

  // The last converted entry is never kept, and neither are the zero heights that end the
  // profile nor the last non-zero height before them.
  int count = 0;
  if (converted > 0) {
    int j = converted - 1;
    while (j > 0 && store.ScanScratch[j].z == 0) --j;
    count = j;
  }

  const int c = ChannelIndex(channel);
  store.PointCount[c] = count;
  for (int i = 0; i < count; ++i) {
    store.RawPoints[i].x[c] = store.ScanScratch[i].x;
    store.RawPoints[i].z[c] = store.ScanScratch[i].z;
  }
}

bool ReadScan(ScannerState& state, TProfileStore& store, int channel, int replyBytes) {
  // The tilt found for the previous scan no longer applies, whether or not this one arrives.
  for (TScanParams& params : state.Params) params.BegAngle = 0;

  Link& link = state.GetLink();
  link.PurgeBuffers();
  SendHeader(link, channel, Command::ScanReadout);
  if (replyBytes <= 0) return false;
  std::vector<std::uint8_t> reply(static_cast<std::size_t>(replyBytes));
  if (link.ReadBytes(reply.data(), replyBytes) < replyBytes) return false;
  for (std::uint8_t& byte : reply) byte = Nibble(byte);

  const TScanParams& params = state.ParamsOf(channel);
  ConvertScan(reply.data(), replyBytes, state.Info.DiapazOf(channel), params.Diskr, params.XBeg,
              store, channel);
  return true;
}

}  // namespace qd718
