#include "cli/raw_file.h"

#include <cmath>
#include <istream>
#include <limits>
#include <ostream>
#include <type_traits>

#include "cli/json_facts.h"
#include "cli/usage_error.h"

namespace qd718::cli {

namespace {

constexpr int JsonIndent = 1;

template <typename T>
constexpr std::int64_t Lowest = std::numeric_limits<T>::min();
template <typename T>
constexpr std::int64_t Highest = std::numeric_limits<T>::max();

// Reads members of one JSON object, naming the file and the member in every complaint.
class Reader {
 public:
  Reader(const std::string& fileName) : fileName_(fileName) {}

  [[noreturn]] void Reject(const std::string& where, const std::string& what) const {
    throw UsageError(fileName_ + ": " + where + ": " + what);
  }

  const Json& Member(const Json& object, const char* key, const std::string& where) const {
    if (!object.is_object()) Reject(where, "expected an object");
    const auto found = object.find(key);
    if (found == object.end()) Reject(where, std::string("\"") + key + "\" is missing");
    return *found;
  }

  std::int64_t Integer(const Json& value, std::int64_t low, std::int64_t high,
                       const std::string& where) const {
    if (!value.is_number_integer()) Reject(where, "expected an integer");
    const auto number = value.get<std::int64_t>();
    if (number < low || number > high) {
      Reject(where,
             "expected an integer from " + std::to_string(low) + " to " + std::to_string(high));
    }
    return number;
  }

  std::int64_t Integer(const Json& object, const char* key, std::int64_t low, std::int64_t high,
                       const std::string& where) const {
    return Integer(Member(object, key, where), low, high, where + "." + key);
  }

  const Json& Array(const Json& value, std::size_t size, const std::string& where) const {
    if (!value.is_array() || value.size() != size) {
      Reject(where, "expected an array of " + std::to_string(size));
    }
    return value;
  }

 private:
  std::string fileName_;
};

Json RawChannelJson(const TProfileStore& store, int channel) {
  const int index = ChannelIndex(channel);
  Json raw;
  raw["channel"] = channel;
  raw["PointCount"] = store.PointCount[index];
  Json points = Json::array();
  for (int i = 0; i < store.PointCount[index]; ++i) {
    points.push_back(Json::array({store.RawPoints[i].x[index], store.RawPoints[i].z[index]}));
  }
  raw["points"] = std::move(points);
  return raw;
}

void ReadParams(const Reader& reader, const Json& p, const std::string& where,
                TScanParams& params) {
  // Each integer field within the range of its own type.
  const auto read = [&](const char* name, auto& field) {
    using Field = std::remove_reference_t<decltype(field)>;
    field = static_cast<Field>(reader.Integer(p, name, Lowest<Field>, Highest<Field>, where));
  };
  read("BeginPos", params.BeginPos);
  read("EndPos", params.EndPos);
  read("TimeM", params.TimeM);
  read("TimeM1", params.TimeM1);
  const Json& diskr = reader.Member(p, "Diskr", where);
  if (!diskr.is_number() || !std::isfinite(diskr.get<double>()) ||
      std::fabs(diskr.get<double>()) > std::numeric_limits<float>::max()) {
    reader.Reject(where + ".Diskr", "expected a number within the float range");
  }
  params.Diskr = static_cast<float>(diskr.get<double>());
  read("Angle", params.Angle);
  read("XBeg", params.XBeg);
  read("YBeg", params.YBeg);
  read("Cycl", params.Cycl);
}

void ReadChannel(const Reader& reader, const Json& raw, const std::string& where,
                 TProfileStore& store, int channel) {
  const int index = ChannelIndex(channel);
  reader.Integer(raw, "channel", channel, channel, where);
  const auto count = reader.Integer(raw, "PointCount", 0, ProfileCapacity, where);
  const Json& points = reader.Array(reader.Member(raw, "points", where),
                                    static_cast<std::size_t>(count), where + ".points");
  for (int i = 0; i < count; ++i) {
    const std::string at = where + ".points[" + std::to_string(i) + "]";
    const Json& point = reader.Array(points[i], 2, at);
    store.RawPoints[i].x[index] = static_cast<std::int32_t>(
        reader.Integer(point[0], Lowest<std::int32_t>, Highest<std::int32_t>, at));
    store.RawPoints[i].z[index] = static_cast<std::int32_t>(
        reader.Integer(point[1], Lowest<std::int32_t>, Highest<std::int32_t>, at));
  }
  store.PointCount[index] = static_cast<std::int32_t>(count);
}

}  // namespace

void WriteRawFile(const Station& station, std::ostream& out) {
  Json raw;
  raw["format"] = RawFormatName;
  raw["version"] = RawFormatVersion;
  raw["identity"] = IdentityJson(station.Info);
  raw["params"] = BothParamsJson(station);
  raw["SpanFirst"] = station.store->SpanFirst;
  raw["SpanLast"] = station.store->SpanLast;
  Json channels = Json::array();
  for (int channel : Channels) channels.push_back(RawChannelJson(*station.store, channel));
  raw["channels"] = std::move(channels);
  raw["table"] = TableJson(*station.table);
  out << raw.dump(JsonIndent) << '\n';
}

void ReadRawFile(std::istream& in, const std::string& fileName, Station& station) {
  const Reader reader(fileName);
  Json raw;
  try {
    raw = Json::parse(in);
  } catch (const Json::parse_error& error) {
    reader.Reject("not a JSON file", error.what());
  }
  const Json& format = reader.Member(raw, "format", "file");
  if (format != RawFormatName)
    reader.Reject("format", std::string("expected \"") + RawFormatName + "\"");
  reader.Integer(raw, "version", RawFormatVersion, RawFormatVersion, "file");

  // Everything is read into copies first, so that a bad file changes nothing.
  ScannerState scanner = station;
  auto store = std::make_unique<TProfileStore>();
  auto table = std::make_unique<TCalibrTable>();

  const Json& params = reader.Array(reader.Member(raw, "params", "file"), 2, "params");
  const Json& channels = reader.Array(reader.Member(raw, "channels", "file"), 2, "channels");
  const Json& tables = reader.Member(raw, "table", "file");
  for (int channel : Channels) {
    const int index = ChannelIndex(channel);
    const std::string n = std::to_string(channel);
    ReadParams(reader, params[index], "params[" + std::to_string(index) + "]",
               scanner.ParamsOf(channel));
    ReadChannel(reader, channels[index], "channels[" + std::to_string(index) + "]", *store,
                channel);
    const Json& entries =
        reader.Array(reader.Member(tables, n.c_str(), "table"), CalibrPoints, "table." + n);
    for (int i = 0; i < CalibrPoints; ++i) {
      table->At(channel, i) = static_cast<std::int16_t>(
          reader.Integer(entries[i], Lowest<std::int16_t>, Highest<std::int16_t>,
                         "table." + n + "[" + std::to_string(i) + "]"));
    }
  }
  store->SpanFirst =
      static_cast<std::int32_t>(reader.Integer(raw, "SpanFirst", 0, ProfileCapacity - 1, "file"));
  store->SpanLast =
      static_cast<std::int32_t>(reader.Integer(raw, "SpanLast", 0, ProfileCapacity - 1, "file"));

  station.Params = scanner.Params;
  *station.store = *store;
  *station.table = *table;
}

}  // namespace qd718::cli
