// ProcessChannel with the station's default settings on a full profile of 3071 points: the
// time one channel of a measurement spends after its readout.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "calib/calibr_table.h"
#include "measure/pipeline.h"

namespace qd718 {
namespace {

constexpr int FullProfile = ProfileCapacity - 1;

// A link that is never used: processing does not talk to the scanner.
class IdleLink final : public Link {
 public:
  bool OpenPort(const std::string&) override { return false; }
  void ClosePort() override {}
  bool IsOpen() const override { return false; }
  void PurgeBuffers() override {}
  int WriteByte(std::uint8_t) override { return 0; }
  int ReadBytes(std::uint8_t*, int) override { return 0; }
  Clock& GetClock() override { return clock_; }

 private:
  VirtualClock clock_;
};

// The main window at start-up as processing sees it: the default check boxes and filter
// texts. Drawing costs nothing here, so the benchmark measures the processing.
class DefaultWindow final : public Window {
 public:
  std::string Text(Ctl control) override {
    switch (control) {
      case Ctl::dxEdit5:
        return "51";
      case Ctl::dxEdit6:
      case Ctl::dxEdit7:
        return "9";
      default:
        return "";
    }
  }
  void SetText(Ctl, const std::string&) override {}
  bool Checked(Ctl control) override {
    return control == Ctl::CheckBox1 || control == Ctl::CheckBox3 || control == Ctl::CheckBox4 ||
           control == Ctl::CheckBox6;
  }
  int ItemIndex(Ctl) override { return -1; }
  void SetVisible(Ctl, bool) override {}
  void SetEnabled(Ctl, bool) override {}
  void ClearSeries(Ser) override {}
  void AddPoint(Ser, double x, double y, const std::string&, Color) override {
    benchmark::DoNotOptimize(x + y);
  }
  void SetGaugeMax(int) override {}
  void SetGaugeProgress(int) override {}
  int GaugeProgress() override { return 0; }
  void SetApplicationTitle(const std::string&) override {}
  std::string ApplicationTitle() override { return "QD718"; }
  void SetCaption(const std::string&) override {}
  void CenterWindow() override {}
  void AddMaximizeBox() override {}
  void FillWorkArea() override {}
  void ProcessMessages() override {}
  void MessageBox(const std::string&, const std::string&, MsgIcon) override {}
  std::optional<std::string> SaveFileDialog(const SaveDialogSettings&) override { return {}; }
  std::optional<std::string> OtherComPortDialog() override { return {}; }
  void Beep() override {}
  void CloseWindow() override {}
};

// A tilted groove with noise and a few spikes, as a head sees the comparison outline.
void LoadGroove(TProfileStore& store) {
  store.PointCount[0] = FullProfile;
  unsigned noise = 12345;
  for (int i = 0; i < FullProfile; ++i) {
    const int x = 50 * i;
    const bool floor = x > 10000 && x < 145000;
    noise = noise * 1103515245u + 12345u;
    int z = (floor ? 10000 : 15000) + x / 100 + static_cast<int>((noise >> 16) % 40);
    if (i % 500 == 250) z += 3000;
    store.RawPoints[i].x[0] = x;
    store.RawPoints[i].z[0] = z;
  }
}

void BM_ProcessChannel(benchmark::State& benchState) {
  IdleLink link;
  ScannerState scanner(link);
  scanner.ParamsOf(1).Angle = 100;
  auto store = std::make_unique<TProfileStore>();
  LoadGroove(*store);
  auto table = std::make_unique<TCalibrTable>();
  for (int i = 0; i < CalibrPoints; ++i) table->At(1, i) = static_cast<std::int16_t>(i % 17);
  DefaultWindow window;
  MeasureContext context{scanner, *store, *table, 0, {}};
  const FilterSettings settings = ReadFilterSettings(window);

  for (auto _ : benchState) {
    scanner.ParamsOf(1).BegAngle = 0;
    ProcessChannel(context, window, 1, settings);
    benchmark::DoNotOptimize(store->Extremes.ZMin[0]);
  }
}
BENCHMARK(BM_ProcessChannel)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qd718

BENCHMARK_MAIN();
