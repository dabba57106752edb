// qd718-station: the service engineer's window.
//
// Two options exist for the screenshot script only: --screenshot FILE saves the window as
// soon as it is shown and quits; --page profile shows the "Profile" page first.

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <exception>

#include "station/app_error.h"
#include "ui/main_form.h"
#include "ui/qt_window.h"

namespace {

// Time for the first layout and paint before the window is grabbed.
constexpr int ScreenshotDelayMs = 500;
constexpr int ProfilePage = 1;

void ShowStartupError(const std::string& message) {
  QMessageBox::critical(nullptr, QString::fromStdString(qd718::ApplicationTitleText),
                        QString::fromStdString(qd718::ErrorDisplayText(message)));
}

void CentreOnScreen(QWidget& window) {
  QScreen* screen = window.screen();
  if (screen == nullptr) return;
  QRect frame = window.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window.move(frame.topLeft());
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("qd718-station"));

  QCommandLineParser parser;
  const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                      QStringLiteral("Save the window to FILE and quit."),
                                      QStringLiteral("FILE"));
  const QCommandLineOption page(QStringLiteral("page"),
                                QStringLiteral("Page shown first: parameters or profile."),
                                QStringLiteral("PAGE"));
  parser.addOptions({screenshot, page});
  parser.addHelpOption();
  parser.process(app);

  std::unique_ptr<qd718::TMainForm> form;
  try {
    form = std::make_unique<qd718::TMainForm>();
  } catch (const std::exception& error) {
    ShowStartupError(error.what());
    return 0;
  } catch (...) {
    ShowStartupError(std::string());
    return 0;
  }

  if (parser.value(page).compare(QStringLiteral("profile"), Qt::CaseInsensitive) == 0) {
    form->ControlAs<QTabWidget>(qd718::Ctl::PageControl1)->setCurrentIndex(ProfilePage);
  }
  form->show();
  CentreOnScreen(*form);

  int status = 0;
  if (parser.isSet(screenshot)) {
    const QString file = parser.value(screenshot);
    QTimer::singleShot(ScreenshotDelayMs, form.get(), [&] {
      if (!form->grab().save(file)) status = 1;
      form->close();
    });
  }
  app.exec();
  form.reset();
  return status;
}
