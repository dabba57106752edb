#include "calib/calibration_run.h"

#include "calib/table_transfer.h"
#include "link/protocol.h"
#include "measure/feature_search.h"
#include "measure/int_arith.h"
#include "measure/scan_acquisition.h"

namespace qd718 {

namespace {

constexpr int ChannelCount = 2;

// One channel of one pass; false when its readout failed.
bool ScanChannel(CalibrationContext& context, Window& window, int channel,
                 const FilterSettings& settings) {
  TProfileStore& store = context.store;
  const bool scanned = ReadScan(context.scanner, store, channel, context.scanReplyBytes);
  if (scanned) {
    store.RestoreWorking(channel);
    ApplyFilters(store, window, channel, settings);
    // The reference object is always levelled, whatever "Auto angle" says, and the table
    // takes no correction from an older table.
    AutoAngle(store, context.scanner.ParamsOf(channel), channel);
    FindFlanks(store, channel, window.Checked(Ctl::CheckBox6));
  }
  if (context.afterChannel) context.afterChannel(channel, scanned);
  if (scanned) AccumulateSpan(store, context.table, channel);
  return scanned;
}

void Normalise(TCalibrTable& table, int channel, int minimum) {
  int first = 0;
  while (first < CalibrPoints && table.Entry(channel, first) == 0) ++first;
  if (first == CalibrPoints) return;
  int last = CalibrPoints - 1;
  while (table.Entry(channel, last) == 0) --last;
  // Zero entries inside the span are lowered too.
  for (int i = first; i <= last; ++i) {
    table.At(channel, i) = Low16(std::int64_t{table.Entry(channel, i)} - minimum);
  }
}

}  // namespace

void AccumulateSpan(const TProfileStore& store, TCalibrTable& table, int channel) {
  const int c = ChannelIndex(channel);
  for (int i = store.SpanFirst; i < store.SpanLast; ++i) {
    std::int16_t& entry = table.At(channel, i);
    entry = Low16(std::int64_t{entry} + store.WorkPoints[i].z[c]);
  }
}

void AverageAndNormalise(TCalibrTable& table) {
  int minimum[ChannelCount] = {CalibrMinimumStart, CalibrMinimumStart};
  for (int i = 0; i < CalibrPoints; ++i) {
    for (int channel = 1; channel <= ChannelCount; ++channel) {
      std::int16_t& entry = table.At(channel, i);
      entry = Low16(entry / CalibrPasses);
      // Zero entries never count: they lie outside the flanks.
      if (entry != 0 && entry < minimum[ChannelIndex(channel)]) {
        minimum[ChannelIndex(channel)] = entry;
      }
    }
  }
  for (int channel = 1; channel <= ChannelCount; ++channel) {
    Normalise(table, channel, minimum[ChannelIndex(channel)]);
  }
}

void cxButton2Click(CalibrationContext& context, Window& window) {
  const FilterSettings settings = ReadFilterSettings(window);
  context.table.Clear();

  // A failed readout ends the passes; what was accumulated so far still becomes the table.
  bool scanning = true;
  for (int pass = 0; pass < CalibrPasses && scanning; ++pass) {
    PrepareScan(context.scanner.GetLink(), context.scanner.ScanStatus);
    for (int channel = 1; channel <= ChannelCount && scanning; ++channel) {
      scanning = ScanChannel(context, window, channel, settings);
    }
  }

  AverageAndNormalise(context.table);
  PlotCalibrTables(context.scanner, context.table, window);
  window.SetEnabled(Ctl::cxButton3, true);
}

}  // namespace qd718
