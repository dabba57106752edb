#include "measure/pipeline.h"

#include "link/protocol.h"
#include "measure/feature_search.h"
#include "measure/filters.h"
#include "measure/int_arith.h"
#include "measure/int_text.h"
#include "measure/scan_acquisition.h"

namespace qd718 {

namespace {

// "Measurement" advances the gauge once after the scans and once after each channel.
constexpr int MeasurementSteps = 3;
constexpr int ChannelCount = 2;

// Where each channel is drawn and shown; element 0 belongs to channel 1.
struct ChannelDisplay {
  Ser profile;
  Ser extremes;
  Color colour;
  Ctl minEdit;
  Ctl maxEdit;
};
constexpr ChannelDisplay Displays[ChannelCount] = {
    {Ser::Series1, Ser::Series5, clBlue, Ctl::dxEdit1, Ctl::dxEdit2},
    {Ser::Series2, Ser::Series6, clGreen, Ctl::dxEdit3, Ctl::dxEdit4},
};

void SubtractCalibrTable(TProfileStore& store, const CalibrCorrection& table, int channel) {
  const int n = store.CountOf(channel);
  for (int i = 0; i < n; ++i) {
    std::int32_t& z = store.Z(channel, i);
    z = ClampToInt32(std::int64_t{z} - table.Entry(channel, i));
  }
}

void NotifyChannel(const MeasureContext& context, int channel, bool scanned) {
  if (context.afterChannel) context.afterChannel(channel, scanned);
}

}  // namespace

FilterSettings ReadFilterSettings(Window& window) {
  FilterSettings settings;
  settings.medianWindow = StrToInt(window.Text(Ctl::dxEdit5));
  settings.movingWindow = StrToInt(window.Text(Ctl::dxEdit6));
  settings.recursiveFactor = StrToInt(window.Text(Ctl::dxEdit7));
  return settings;
}

void ApplyFilters(TProfileStore& store, Window& window, int channel,
                  const FilterSettings& settings) {
  if (window.Checked(Ctl::CheckBox3)) {
    MedianFilter(store, channel, settings.medianWindow, store.HeightsOf(channel));
  }
  if (window.Checked(Ctl::CheckBox2)) MovingAverage(store, channel, settings.movingWindow);
  if (window.Checked(Ctl::CheckBox5)) RecursiveSmooth(store, channel, settings.recursiveFactor);
}

void ProcessChannel(MeasureContext& context, Window& window, int channel,
                    const FilterSettings& settings) {
  TProfileStore& store = context.store;
  store.RestoreWorking(channel);
  if (window.Checked(Ctl::CheckBox1)) SubtractCalibrTable(store, context.table, channel);
  ApplyFilters(store, window, channel, settings);
  if (window.Checked(Ctl::CheckBox4)) {
    AutoAngle(store, context.scanner.ParamsOf(channel), channel);
  }
  FindFlanks(store, channel, window.Checked(Ctl::CheckBox6));
  FindExtremes(store, channel);
  PlotChannel(store, window, channel);
}

void PlotChannel(const TProfileStore& store, Window& window, int channel) {
  const int c = ChannelIndex(channel);
  const ChannelDisplay& display = Displays[c];
  window.ClearSeries(display.profile);
  window.ClearSeries(display.extremes);

  const TProfileExtremes& extremes = store.Extremes;
  window.AddPoint(display.extremes, extremes.XMin[c], extremes.ZMin[c], "", clYellow);
  window.AddPoint(display.extremes, extremes.XMax[c], extremes.ZMax[c], "", clYellow);
  window.SetText(display.minEdit, std::to_string(extremes.ZMin[c]));
  window.SetText(display.maxEdit, std::to_string(extremes.ZMax[c]));

  const int n = store.CountOf(channel);
  for (int i = 0; i < n; ++i) {
    const TDualPoint& point = store.WorkPoints[i];
    window.AddPoint(display.profile, point.x[c], point.z[c], "", display.colour);
  }
}

void Button1Click(MeasureContext& context, Window& window) {
  window.SetGaugeMax(MeasurementSteps);
  window.SetGaugeProgress(0);
  PrepareScan(context.scanner.GetLink(), context.scanner.ScanStatus);
  window.SetGaugeProgress(1);

  const FilterSettings settings = ReadFilterSettings(window);
  for (int channel = 1; channel <= ChannelCount; ++channel) {
    // A channel whose readout fails keeps what its chart and edits showed.
    const bool scanned = ReadScan(context.scanner, context.store, channel, context.scanReplyBytes);
    if (scanned) ProcessChannel(context, window, channel, settings);
    NotifyChannel(context, channel, scanned);
    window.SetGaugeProgress(1 + channel);
  }
}

void cxButton5Click(MeasureContext& context, Window& window) {
  for (TScanParams& params : context.scanner.Params) params.BegAngle = 0;
  for (int channel = 1; channel <= ChannelCount; ++channel) {
    const FilterSettings settings = ReadFilterSettings(window);
    ProcessChannel(context, window, channel, settings);
    NotifyChannel(context, channel, true);
  }
}

}  // namespace qd718
