// Handlers on the scanner thread, seen from the window: what they fill in, the guard that
// keeps two exchanges apart, Stop, closing while a handler runs, errors that escape a
// handler there, and chart points arriving in one update.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QXYSeries>
#include <algorithm>
#include <atomic>

#include "link/scanner_link.h"
#include "params/edit_conversion.h"
#include "ui/ok_bottom_dlg.h"
#include "ui/profile_charts.h"
#include "ui_fixture.h"

namespace qd718::test {
namespace {

// Register numbers of the parameters, as the scanner keeps them.
constexpr int BeginPosRegister = 56;
constexpr int EndPosRegister = 58;
constexpr int TimeMRegister = 54;
constexpr int TimeM1Register = 55;

int Register16(const sim::VirtualScanner& scanner, int channel, int reg) {
  return scanner.Register(channel, reg) | (scanner.Register(channel, reg + 1) << 8);
}

using ScannerThreadTest = WindowFixture;

// Answers a modal dialog once the scanner thread has had it shown.
void AnswerWhenShown(QWidget& dialog, std::function<void()> answer) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, &dialog, answer] {
    if (!dialog.isVisible()) return;
    poll->stop();
    poll->deleteLater();
    answer();
  });
  poll->start(5);
}

TEST_F(ScannerThreadTest, ReadParametersFillsBothChannelsEdits) {
  Get<QPushButton>(Ctl::ReadBtn)->click();
  EXPECT_TRUE(form->Busy());
  WaitIdle();
  EXPECT_TRUE(boxes.empty());
  const struct {
    int channel;
    Ctl begin, end, timeM, timeM1, diskr, xBeg, angle, cycl;
  } channels[] = {
      {1, Ctl::BeginPosEdit, Ctl::EndPosEdit, Ctl::TimeMEdit, Ctl::TimeMEdit1, Ctl::DiskrEdit,
       Ctl::XBegEdit, Ctl::AngleEdit, Ctl::CyclEdit},
      {2, Ctl::BeginPosEdit2, Ctl::EndPosEdit2, Ctl::TimeMEdit2, Ctl::TimeMEdit21, Ctl::DiskrEdit2,
       Ctl::XBegEdit2, Ctl::AngleEdit2, Ctl::CyclEdit2},
  };
  for (const auto& c : channels) {
    SCOPED_TRACE("channel " + std::to_string(c.channel));
    const auto text = [&](Ctl edit) { return Get<QLineEdit>(edit)->text().toStdString(); };
    EXPECT_EQ(text(c.begin), std::to_string(Register16(*scanner, c.channel, BeginPosRegister)));
    EXPECT_EQ(text(c.end), std::to_string(Register16(*scanner, c.channel, EndPosRegister)));
    EXPECT_EQ(text(c.timeM), std::to_string(scanner->Register(c.channel, TimeMRegister)));
    EXPECT_EQ(text(c.timeM1), std::to_string(scanner->Register(c.channel, TimeM1Register)));
    EXPECT_EQ(text(c.diskr), FloatToText(station().ParamsOf(c.channel).Diskr));
    EXPECT_EQ(text(c.xBeg), "5000");
    EXPECT_EQ(text(c.angle), "100");
    EXPECT_EQ(text(c.cycl), "0");
    EXPECT_EQ(station().ParamsOf(c.channel).BeginPos,
              Register16(*scanner, c.channel, BeginPosRegister));
  }
  // A complete read leaves the gauge at 7 of 8.
  EXPECT_EQ(form->Gauge().maximum(), 8);
  EXPECT_EQ(form->Gauge().value(), 7);
}

TEST_F(ScannerThreadTest, ASilentChannelShowsTheReadErrorWhileTheCommandsAreHeld) {
  sim::ScannerOptions options;
  options.faults.silent = {2};
  Start(options);
  struct Seen {
    bool readHeld, editHeld, comboHeld, measureHeld, stopOffered, exitOffered;
  };
  std::vector<Seen> seen;
  onBox = [&] {
    seen.push_back(
        {!form->Control(Ctl::ReadBtn)->isEnabled(), !form->Control(Ctl::BeginPosEdit)->isEnabled(),
         !form->Control(Ctl::ComboBox1)->isEnabled(), !form->Control(Ctl::Button6)->isEnabled(),
         form->StopButton().isEnabled(), form->Control(Ctl::BitBtn4)->isEnabled()});
    // A second click while the handler runs starts nothing.
    Get<QPushButton>(Ctl::ReadBtn)->click();
  };
  Get<QPushButton>(Ctl::ReadBtn)->click();
  WaitIdle();

  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Read parameters Erorr!");
  EXPECT_EQ(boxes[0].title, "Error.");
  EXPECT_EQ(boxes[0].icon, MsgIcon::Error);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_TRUE(seen[0].readHeld && seen[0].editHeld && seen[0].comboHeld && seen[0].measureHeld);
  EXPECT_TRUE(seen[0].stopOffered && seen[0].exitOffered);

  // Channel 1 was read; channel 2's edits were left alone.
  EXPECT_EQ(Get<QLineEdit>(Ctl::XBegEdit)->text(), "5000");
  EXPECT_EQ(Get<QLineEdit>(Ctl::BeginPosEdit2)->text(), "");
  EXPECT_EQ(station().Params[1].BeginPos, -5555);

  // Afterwards every control is as the handlers left it: "Parameters" and "Save Table"
  // keep their own rules.
  EXPECT_TRUE(form->Control(Ctl::ReadBtn)->isEnabled());
  EXPECT_TRUE(form->Control(Ctl::BeginPosEdit)->isEnabled());
  EXPECT_TRUE(form->Control(Ctl::ComboBox1)->isEnabled());
  EXPECT_FALSE(form->Control(Ctl::ConnectBtn)->isEnabled());
  EXPECT_FALSE(form->Control(Ctl::cxButton3)->isEnabled());
  EXPECT_FALSE(form->Control(Ctl::EtalComboBox)->isEnabled());
  EXPECT_FALSE(form->StopButton().isEnabled());
}

TEST_F(ScannerThreadTest, ConnectAndHandshakeShowTheScanner) {
  link->ClosePort();
  Get<QPushButton>(Ctl::ConnBtn)->click();
  WaitIdle();
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(form->Control(Ctl::ConnBtn)->isHidden());
  EXPECT_FALSE(form->Control(Ctl::DisconnBtn)->isHidden());
  EXPECT_EQ(Get<QPushButton>(Ctl::DisconnBtn)->text(), "Disconnect [COM1:]");
  EXPECT_TRUE(form->Control(Ctl::ConnectBtn)->isEnabled());

  Get<QPushButton>(Ctl::ConnectBtn)->click();
  WaitIdle();
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(Get<QLabel>(Ctl::TipLbl)->text().toStdString(), std::to_string(scanner->Tip()));
  EXPECT_EQ(Get<QLabel>(Ctl::SerLbl)->text().toStdString(), std::to_string(scanner->Serial()));
  EXPECT_EQ(Get<QLabel>(Ctl::DiapazLbl)->text().toStdString(), std::to_string(scanner->Range(1)));
  const std::string title = "QD718 " + std::to_string(scanner->Serial());
  EXPECT_EQ(form->windowTitle().toStdString(), title);
  EXPECT_EQ(form->GetWindow().ApplicationTitle(), title);
  EXPECT_TRUE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(form->Control(Ctl::ConnectBtn)->isEnabled());
  EXPECT_FALSE(form->Control(Ctl::cxButton3)->isEnabled());
  for (Ctl hidden : {Ctl::WriteFlashBtn, Ctl::BitBtn3, Ctl::XBegEdit, Ctl::AngleEdit2,
                     Ctl::CyclEdit, Ctl::cxButton1, Ctl::cxButton8, Ctl::EtalComboBox}) {
    EXPECT_TRUE(form->Control(hidden)->isHidden()) << ControlName(hidden);
  }

  Get<QPushButton>(Ctl::DisconnBtn)->click();
  WaitIdle();
  EXPECT_FALSE(link->IsOpen());
  EXPECT_FALSE(form->Control(Ctl::ConnBtn)->isHidden());
  EXPECT_FALSE(form->Control(Ctl::ConnectBtn)->isEnabled());
}

TEST_F(ScannerThreadTest, MoreComAsksForThePortNumberInTheDialog) {
  auto* combo = Get<QComboBox>(Ctl::ComboBox1);
  const int moreCom = 4;
  AnswerWhenShown(form->OKBottomDlg(), [&] {
    form->OKBottomDlg().SpinEdit()->setValue(17);
    form->OKBottomDlg().findChild<QPushButton*>("OKBtn")->click();
  });
  combo->setCurrentIndex(moreCom);
  emit combo->activated(moreCom);
  WaitIdle();
  ASSERT_FALSE(link->opened.empty());
  EXPECT_EQ(link->opened.back(), "\\\\.\\COM17");
  EXPECT_EQ(station().ComNumber, 17);
  EXPECT_EQ(Get<QPushButton>(Ctl::ConnBtn)->text(), "Connect [COM17:]");
  ASSERT_EQ(boxes.size(), 1u);  // nothing answers as COM17 here
  EXPECT_EQ(boxes[0].title, "LQT7.");

  // Cancel leaves the port closed and the number as it was.
  const std::size_t opens = link->opened.size();
  AnswerWhenShown(form->OKBottomDlg(), [&] { form->OKBottomDlg().reject(); });
  emit combo->activated(moreCom);
  WaitIdle();
  EXPECT_EQ(link->opened.size(), opens);
  EXPECT_EQ(station().ComNumber, 17);
}

TEST_F(ScannerThreadTest, AnErrorEscapingAScannerHandlerReachesTheErrorDisplay) {
  // Typed text without a digit at the fourth place: the port number does not convert.
  auto* combo = Get<QComboBox>(Ctl::ComboBox1);
  combo->lineEdit()->selectAll();
  QTest::keyClicks(combo->lineEdit(), "X");
  WaitIdle();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "'' is not a valid integer value.");
  EXPECT_EQ(boxes[0].title, "QD718");
  EXPECT_EQ(boxes[0].icon, MsgIcon::Error);
  EXPECT_FALSE(link->IsOpen());  // the port choice closed it first
  EXPECT_EQ(station().ComNumber, 1);
  EXPECT_TRUE(form->Control(Ctl::ReadBtn)->isEnabled());  // and the window goes on
}

TEST_F(ScannerThreadTest, ReadTableDrawsEachWholeTableInOneUpdate) {
  QXYSeries* series7 = form->Charts().Series(Ser::Series7);
  int replaced = 0;
  int added = 0;
  QObject::connect(series7, &QXYSeries::pointsReplaced, [&] { ++replaced; });
  QObject::connect(series7, &QXYSeries::pointAdded, [&] { ++added; });
  Get<QPushButton>(Ctl::cxButton4)->click();
  WaitIdle();
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(series7->count(), 3072);
  EXPECT_EQ(form->Charts().Series(Ser::Series8)->count(), 3072);
  EXPECT_EQ(added, 0);
  EXPECT_GE(replaced, 1);
  // One update for the clear and the points; a redraw tick of the window may fall between
  // them, never one update per point.
  EXPECT_LE(replaced, 3);
  EXPECT_EQ(form->Gauge().value(), form->Gauge().maximum());
}

TEST_F(ScannerThreadTest, MeasurementPlotsEachProfileAndItsExtremes) {
  QXYSeries* series1 = form->Charts().Series(Ser::Series1);
  int added = 0;
  QObject::connect(series1, &QXYSeries::pointAdded, [&] { ++added; });
  // The handshake first: the scanner's range and step.
  Get<QPushButton>(Ctl::ConnBtn)->click();
  WaitIdle();
  Get<QPushButton>(Ctl::ConnectBtn)->click();
  WaitIdle();
  Get<QPushButton>(Ctl::Button6)->click();
  WaitIdle();
  EXPECT_TRUE(boxes.empty());
  const int count = station().store->PointCount[0];
  ASSERT_GT(count, 0);
  EXPECT_EQ(series1->count(), count);
  EXPECT_EQ(added, 0);
  EXPECT_EQ(series1->color(), QColor(Qt::blue));
  EXPECT_EQ(form->Charts().Points(Ser::Series5).size(), 2u);
  EXPECT_EQ(form->Charts().Points(Ser::Series6).size(), 2u);
  EXPECT_FALSE(Get<QLineEdit>(Ctl::dxEdit1)->text().isEmpty());
  EXPECT_FALSE(Get<QLineEdit>(Ctl::dxEdit4)->text().isEmpty());
  EXPECT_EQ(form->Gauge().maximum(), 3);
  EXPECT_EQ(form->Gauge().value(), 3);
}

TEST_F(ScannerThreadTest, CompareDrawsTheOutlineOnBothCharts) {
  auto* compare = Get<QCheckBox>(Ctl::EtCheckBox);
  compare->click();
  QCoreApplication::processEvents();
  EXPECT_EQ(form->Charts().Points(Ser::Series3).size(), 6u);
  EXPECT_EQ(form->Charts().Points(Ser::Series4).size(), 6u);
  compare->click();
  QCoreApplication::processEvents();
  EXPECT_TRUE(form->Charts().Points(Ser::Series3).empty());
}

TEST_F(ScannerThreadTest, ExitReleasesThePortAndClosesTheWindow) {
  form->show();
  Get<QPushButton>(Ctl::BitBtn4)->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, HandlerLimitMs));
  EXPECT_FALSE(link->IsOpen());
  EXPECT_EQ(link->closes, 1);
}

// A scanner that never answers, on real time: each read waits out its whole time-out in
// the link's cancellable slices, as the serial link does.
class SilentLink final : public Link {
 public:
  bool OpenPort(const std::string&) override { return open_ = true; }
  void ClosePort() override {
    if (open_.exchange(false)) ++closes;
  }
  bool IsOpen() const override { return open_; }
  void PurgeBuffers() override { ThrowIfCancelled(); }
  int WriteByte(std::uint8_t) override {
    ThrowIfCancelled();
    return open_ ? 1 : 0;
  }
  int ReadBytes(std::uint8_t*, int count) override {
    Micros left = ReadTotalTimeoutConstant + ReadTotalTimeoutMultiplier * count;
    while (left.count() > 0) {
      ThrowIfCancelled();
      const Micros slice = std::min<Micros>(left, CancelSlice);
      clock_.Sleep(slice);
      left -= slice;
    }
    return 0;
  }
  Clock& GetClock() override { return clock_; }

  std::atomic<int> closes{0};

 private:
  std::atomic<bool> open_{true};
  SystemClock clock_;
};

// Stop and close act within 100 ms; the rest is the event loop's own delivery.
constexpr int CancelLimitMs = 100;
constexpr int DeliveryToleranceMs = 100;
// Long enough for the read to be waiting on the line.
constexpr int ReadUnderWayMs = 30;

class SilentScannerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TMainForm>(&link);
    form->GetWindow().hooks.messageBox = [this](const std::string& text, const std::string&,
                                                MsgIcon) { boxes.push_back(text); };
  }
  void TearDown() override { form.reset(); }

  SilentLink link;
  std::unique_ptr<TMainForm> form;
  std::vector<std::string> boxes;
};

TEST_F(SilentScannerTest, StopEndsASilentReadAtOnceWithoutABox) {
  form->ControlAs<QPushButton>(Ctl::ReadBtn)->click();
  QTest::qWait(ReadUnderWayMs);
  ASSERT_TRUE(form->Busy());
  ASSERT_TRUE(form->StopButton().isEnabled());
  QElapsedTimer stopped;
  stopped.start();
  form->StopButton().click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form->Busy(); }, HandlerLimitMs));
  EXPECT_LT(stopped.elapsed(), CancelLimitMs + DeliveryToleranceMs);
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(form->ControlAs<QPushButton>(Ctl::ReadBtn)->isEnabled());
  EXPECT_FALSE(form->StopButton().isEnabled());
  EXPECT_EQ(form->ControlAs<QLineEdit>(Ctl::BeginPosEdit)->text(), "");

  // The next handler is not stopped by the old Stop.
  form->ControlAs<QPushButton>(Ctl::ReadBtn)->click();
  QTest::qWait(ReadUnderWayMs);
  EXPECT_TRUE(form->Busy());
}

TEST_F(SilentScannerTest, ClosingWaitsForTheCancelledHandlerThenReleasesThePort) {
  form->show();
  form->ControlAs<QPushButton>(Ctl::ReadBtn)->click();
  QTest::qWait(ReadUnderWayMs);
  QElapsedTimer closing;
  closing.start();
  form->close();
  EXPECT_TRUE(form->isVisible());  // the handler first ends
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, HandlerLimitMs));
  // Cancelled within the limit; releasing the port then costs its own pause.
  EXPECT_LT(closing.elapsed(), CancelLimitMs + DeliveryToleranceMs + 150);
  EXPECT_FALSE(link.IsOpen());
  EXPECT_EQ(link.closes.load(), 1);
  EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace qd718::test
