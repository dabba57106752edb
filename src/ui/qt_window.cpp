#include "ui/qt_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <QThread>
#include <algorithm>
#include <type_traits>

#include "ui/main_form.h"
#include "ui/ok_bottom_dlg.h"

namespace qd718 {

namespace {

// The toolkit's filter "REF files (*.ref)|*.ref" as Qt writes it: "REF files (*.ref)".
QString QtFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
  QStringList named;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) named << parts[i];
  if (named.isEmpty()) named << parts.value(0);
  return named.join(QStringLiteral(";;"));
}

// The station ends lines of its messages with CR, as the other toolkit does.
QString BoxText(const std::string& text) {
  QString value = QString::fromStdString(text);
  value.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  value.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return value;
}

}  // namespace

QtWindow::QtWindow(TMainForm& form) : form_(form) {}

template <typename F>
auto QtWindow::OnWindowThread(F&& call) -> decltype(call()) {
  using Result = decltype(call());
  if (QThread::currentThread() == form_.thread()) return call();
  // The scanner thread waits here for the window thread; the window thread never waits for
  // the scanner thread, so the two cannot lock each other. What was drawn before the call
  // is shown before it takes effect.
  const auto drawnFirst = [this, &call] {
    FlushSeries();
    return call();
  };
  if constexpr (std::is_void_v<Result>) {
    QMetaObject::invokeMethod(&form_, drawnFirst, Qt::BlockingQueuedConnection);
  } else {
    Result result{};
    QMetaObject::invokeMethod(&form_, drawnFirst, Qt::BlockingQueuedConnection, &result);
    return result;
  }
}

std::string QtWindow::Text(Ctl control) {
  return OnWindowThread([&] { return form_.ControlText(control); });
}

void QtWindow::SetText(Ctl control, const std::string& text) {
  OnWindowThread([&] { form_.SetControlText(control, text); });
}

bool QtWindow::Checked(Ctl control) {
  return OnWindowThread([&] {
    auto* box = form_.ControlAs<QCheckBox>(control);
    return box != nullptr && box->isChecked();
  });
}

int QtWindow::ItemIndex(Ctl control) {
  return OnWindowThread([&] {
    auto* combo = form_.ControlAs<QComboBox>(control);
    if (combo == nullptr) return -1;
    // Typing into the edit field leaves the last chosen entry current; the index counts
    // only while the text is that entry's.
    const QString text = combo->currentText();
    if (combo->currentIndex() >= 0 && combo->itemText(combo->currentIndex()) == text) {
      return combo->currentIndex();
    }
    return combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  });
}

void QtWindow::SetVisible(Ctl control, bool visible) {
  OnWindowThread([&] { form_.Control(control)->setVisible(visible); });
}

void QtWindow::SetEnabled(Ctl control, bool enabled) {
  OnWindowThread([&] { form_.SetStationEnabled(control, enabled); });
}

void QtWindow::ClearSeries(Ser series) {
  std::lock_guard lock(seriesMutex_);
  PendingSeries& pending = pending_[static_cast<int>(series)];
  pending.touched = true;
  pending.cleared = true;
  pending.points.clear();
  PostSeriesFlush();
}

void QtWindow::AddPoint(Ser series, double x, double y, const std::string& /*label*/, Color color) {
  // No series shows marks, so the label is not kept.
  std::lock_guard lock(seriesMutex_);
  PendingSeries& pending = pending_[static_cast<int>(series)];
  pending.touched = true;
  pending.points.push_back(ChartPoint{x, y, color});
  PostSeriesFlush();
}

void QtWindow::PostSeriesFlush() {
  // Called with the series lock held. Points from the scanner thread wait for its next call
  // that needs the window, for the end of its handler or for the form's redraw tick, so a
  // whole profile reaches its chart in one update. The window thread's own few points are
  // drawn when it is back in its event loop.
  if (QThread::currentThread() != form_.thread()) return;
  if (seriesFlushPosted_) return;
  seriesFlushPosted_ = true;
  QMetaObject::invokeMethod(
      &form_, [this] { FlushSeries(); }, Qt::QueuedConnection);
}

void QtWindow::FlushSeries() {
  std::array<PendingSeries, SeriesCount> taken;
  {
    std::lock_guard lock(seriesMutex_);
    taken.swap(pending_);
    seriesFlushPosted_ = false;
  }
  ProfileCharts& charts = form_.Charts();
  for (int i = 0; i < SeriesCount; ++i) {
    const PendingSeries& pending = taken[i];
    if (!pending.touched) continue;
    if (pending.cleared) {
      charts.ReplacePoints(static_cast<Ser>(i), pending.points);
    } else {
      charts.AddPoints(static_cast<Ser>(i), pending.points);
    }
  }
}

void QtWindow::SetGaugeMax(int maximum) {
  gaugeMax_.store(maximum);
  PostGaugeUpdate();
}

void QtWindow::SetGaugeProgress(int progress) {
  gaugeProgress_.store(progress);
  PostGaugeUpdate();
}

void QtWindow::PostGaugeUpdate() {
  if (gaugeUpdatePosted_.exchange(true)) return;
  QMetaObject::invokeMethod(
      &form_, [this] { UpdateGauge(); }, Qt::QueuedConnection);
}

void QtWindow::UpdateGauge() {
  gaugeUpdatePosted_.store(false);
  const int maximum = std::max(gaugeMax_.load(), 0);
  QProgressBar& gauge = form_.Gauge();
  gauge.setMaximum(maximum);
  // The bar ignores a value outside its range; the gauge shows it as full or empty.
  gauge.setValue(std::clamp(gaugeProgress_.load(), 0, maximum));
}

void QtWindow::Flush() {
  FlushSeries();
  UpdateGauge();
}

void QtWindow::SetApplicationTitle(const std::string& title) {
  std::lock_guard lock(titleMutex_);
  applicationTitle_ = title;
}

std::string QtWindow::ApplicationTitle() {
  std::lock_guard lock(titleMutex_);
  return applicationTitle_;
}

void QtWindow::SetCaption(const std::string& caption) {
  OnWindowThread([&] { form_.setWindowTitle(QString::fromStdString(caption)); });
}

void QtWindow::CenterWindow() {
  OnWindowThread([&] {
    QScreen* screen = form_.screen();
    if (screen == nullptr) return;
    QRect frame = form_.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    form_.move(frame.topLeft());
  });
}

void QtWindow::AddMaximizeBox() {
  OnWindowThread([&] {
    const bool shown = form_.isVisible();
    form_.setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    if (shown) form_.show();  // changing the border hides the window
  });
}

void QtWindow::FillWorkArea() {
  // Maximized, the window keeps covering the work area from then on.
  OnWindowThread([&] { form_.showMaximized(); });
}

void QtWindow::ProcessMessages() {
  // The window thread repaints on its own while the scanner thread works.
  if (QThread::currentThread() == form_.thread()) QCoreApplication::processEvents();
}

void QtWindow::MessageBox(const std::string& text, const std::string& title, MsgIcon icon) {
  if (closing_.load()) return;
  OnWindowThread([&] {
    UpdateGauge();  // the box shows over the gauge as the handler left it
    if (hooks.messageBox) {
      hooks.messageBox(text, title, icon);
      return;
    }
    QMessageBox box(icon == MsgIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QString::fromStdString(title), BoxText(text), QMessageBox::Ok, &form_);
    box.exec();
  });
}

std::optional<std::string> QtWindow::SaveFileDialog(const SaveDialogSettings& settings) {
  return OnWindowThread([&]() -> std::optional<std::string> {
    if (hooks.saveFile) return hooks.saveFile(settings);
    QFileDialog dialog(&form_);
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromStdString(settings.defaultExt));
    dialog.setNameFilter(QtFilter(settings.filter));
    dialog.selectFile(QString::fromStdString(settings.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
      return std::nullopt;
    }
    return dialog.selectedFiles().front().toStdString();
  });
}

std::optional<std::string> QtWindow::OtherComPortDialog() {
  return OnWindowThread([&]() -> std::optional<std::string> {
    if (hooks.otherComPort) return hooks.otherComPort();
    const std::optional<QString> text = form_.OKBottomDlg().Ask();
    if (!text) return std::nullopt;
    return text->toStdString();
  });
}

void QtWindow::Beep() {
  ++beeps_;
  OnWindowThread([] { QApplication::beep(); });
}

void QtWindow::CloseWindow() {
  // Queued: the close waits for the running handler, which may be this caller.
  QMetaObject::invokeMethod(
      &form_, [this] { form_.close(); }, Qt::QueuedConnection);
}

}  // namespace qd718
