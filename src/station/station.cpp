#include "station/station.h"

namespace qd718 {

Station::Station(Link& link)
    : ScannerState(link),
      store(std::make_unique<TProfileStore>()),
      table(std::make_unique<TCalibrTable>()),
      ref(std::make_unique<TRefProfile>()) {}

MeasureContext Station::Measure() {
  return MeasureContext{*this, *store, *table, ScanReplyBytes, afterChannel};
}

CalibrationContext Station::Calibration() {
  return CalibrationContext{*this, *store, *table, ScanReplyBytes, afterChannel};
}

}  // namespace qd718
