#include "measure/profile_store.h"

namespace qd718 {

void TProfileStore::ClearChannel(int channel) {
  const int c = ChannelIndex(channel);
  for (TDualPoint& point : WorkPoints) {
    point.x[c] = 0;
    point.z[c] = 0;
  }
  ScanScratch.fill({});
}

void TProfileStore::RestoreWorking(int channel) {
  const int c = ChannelIndex(channel);
  for (int i = 0; i < CountOf(channel); ++i) {
    WorkPoints[i].x[c] = RawPoints[i].x[c];
    WorkPoints[i].z[c] = RawPoints[i].z[c];
  }
}

std::array<std::int32_t, ProfileCapacity> TProfileStore::HeightsOf(int channel) const {
  const int c = ChannelIndex(channel);
  std::array<std::int32_t, ProfileCapacity> heights{};
  for (int i = 0; i < ProfileCapacity; ++i) heights[i] = WorkPoints[i].z[c];
  return heights;
}

}  // namespace qd718
