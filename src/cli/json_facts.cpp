#include "cli/json_facts.h"

#include <charconv>
#include <cstdlib>
#include <string>

namespace qd718::cli {

namespace {

// Enough for any float in its shortest round-trip form.
constexpr int FloatTextCapacity = 32;

Json ChannelTable(const TCalibrTable& table, int channel) {
  Json entries = Json::array();
  for (int i = 0; i < CalibrPoints; ++i) entries.push_back(table.Entry(channel, i));
  return entries;
}

}  // namespace

double ShortestDouble(float value) {
  char text[FloatTextCapacity] = {};
  const auto result = std::to_chars(text, text + FloatTextCapacity - 1, value);
  *result.ptr = '\0';
  return std::strtod(text, nullptr);
}

Json IdentityJson(const TSensorInfo& info) {
  Json identity;
  identity["Tip"] = info.Tip;
  identity["Modif"] = info.Modif;
  identity["Ser"] = info.Ser;
  identity["Diapaz"] = Json::array({info.DiapazOf(1), info.DiapazOf(2)});
  return identity;
}

Json ParamsJson(const TScanParams& params, int channel) {
  Json p;
  p["channel"] = channel;
  p["BeginPos"] = params.BeginPos;
  p["EndPos"] = params.EndPos;
  p["TimeM"] = params.TimeM;
  p["TimeM1"] = params.TimeM1;
  p["Diskr"] = ShortestDouble(params.Diskr);
  p["Angle"] = params.Angle;
  p["XBeg"] = params.XBeg;
  p["YBeg"] = params.YBeg;
  p["Cycl"] = params.Cycl;
  return p;
}

Json BothParamsJson(const ScannerState& state) {
  Json both = Json::array();
  for (int channel : Channels) both.push_back(ParamsJson(state.ParamsOf(channel), channel));
  return both;
}

Json CalibratedChannelJson(const ChannelResult& result) {
  Json k;
  k["channel"] = result.channel;
  k["scanned"] = result.scanned;
  k["PointCount"] = result.PointCount;
  k["SpanFirst"] = result.SpanFirst;
  k["SpanLast"] = result.SpanLast;
  return k;
}

// A measured channel carries everything a calibrated one does, then its results.
Json MeasuredChannelJson(const ChannelResult& result) {
  Json c = CalibratedChannelJson(result);
  c["BegAngle"] = result.BegAngle;
  Json extremes;
  extremes["XMin"] = result.XMin;
  extremes["ZMin"] = result.ZMin;
  extremes["XMax"] = result.XMax;
  extremes["ZMax"] = result.ZMax;
  c["Extremes"] = std::move(extremes);
  Json points = Json::array();
  for (const TPointXZ& point : result.points) points.push_back(Json::array({point.x, point.z}));
  c["points"] = std::move(points);
  return c;
}

Json TableJson(const TCalibrTable& table) {
  Json tables;
  for (int channel : Channels) tables[std::to_string(channel)] = ChannelTable(table, channel);
  return tables;
}

}  // namespace qd718::cli
