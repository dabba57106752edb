#include "cli/channel_result.h"

namespace qd718::cli {

ChannelResult TakeChannelResult(const TProfileStore& store, const TScanParams& params, int channel,
                                bool scanned) {
  ChannelResult result;
  result.channel = channel;
  result.scanned = scanned;
  if (!scanned) return result;
  const int index = ChannelIndex(channel);
  result.PointCount = store.PointCount[index];
  result.SpanFirst = store.SpanFirst;
  result.SpanLast = store.SpanLast;
  result.BegAngle = params.BegAngle;
  result.XMin = store.Extremes.XMin[index];
  result.ZMin = store.Extremes.ZMin[index];
  result.XMax = store.Extremes.XMax[index];
  result.ZMax = store.Extremes.ZMax[index];
  result.points.reserve(static_cast<std::size_t>(result.PointCount));
  for (int i = 0; i < result.PointCount; ++i) {
    result.points.push_back(TPointXZ{store.WorkPoints[i].x[index], store.WorkPoints[i].z[index]});
  }
  return result;
}

}  // namespace qd718::cli
