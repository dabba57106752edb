// qd718: the station without a window, for scripts, production lines and remote service.

#include <QApplication>
#include <QCoreApplication>
#include <csignal>
#include <iostream>
#include <memory>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/exports.h"
#include "cli/text_report.h"
#include "cli/usage_error.h"
#include "station/app_error.h"

namespace {

using namespace qd718::cli;

constexpr int JsonIndent = 2;

// The session that Ctrl-C stops; its links only set atomic flags, which is safe here.
Session* runningSession = nullptr;

void StopRunningSession(int /*signal*/) {
  if (runningSession != nullptr) runningSession->Cancel();
}

// While the station runs, Ctrl-C stops its exchange so that the port is still closed the
// station's way; before and after, the signals end the program as usual.
void HandleStopSignals(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

// Standard error carries the station's messages, one line each, for scripts to read; Qt's
// own notes (a missing runtime folder, font lookups) stay off it.
void QuietQtNotes(QtMsgType type, const QMessageLogContext& /*context*/, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << '\n';
}

// The serial port needs Qt's core; --plot draws the window's charts on the offscreen
// platform, which needs the widgets.
std::unique_ptr<QCoreApplication> MakeApplication(const Invocation& invocation, char* program) {
  static int qtArgc = 1;
  static char* qtArgv[] = {program, nullptr};
  if (invocation.exports.plot.empty()) return std::make_unique<QCoreApplication>(qtArgc, qtArgv);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  return std::make_unique<QApplication>(qtArgc, qtArgv);
}

void PrintWireStats(const MeteredLink& meter) {
  std::cerr << "wire-stats reply_bytes=" << meter.ReplyBytes()
            << " pauses_us=" << meter.Pauses().count() << " floor_us=" << meter.Floor().count()
            << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  const ParsedCommandLine parsed = ParseCommandLine(argc, argv);
  if (!parsed.invocation) return parsed.exitStatus;
  const Invocation& invocation = *parsed.invocation;

  qInstallMessageHandler(QuietQtNotes);
  const auto application = MakeApplication(invocation, argv[0]);
  Session session(invocation);
  try {
    LoadInputs(invocation, session);
  } catch (const UsageError& error) {
    std::cerr << "qd718: " << error.what() << '\n';
    return static_cast<int>(ExitStatus::Usage);
  }

  runningSession = &session;
  HandleStopSignals(StopRunningSession);
  Json report;
  try {
    report = RunCommand(invocation, session);
  } catch (const qd718::ConversionError& error) {
    // The station's error display: the application title, then the message.
    session.window.Say(session.window.ApplicationTitle() + " " +
                       qd718::ErrorDisplayText(error.what()));
    session.window.GetOutcome().Note(ExitStatus::Usage);
  }
  HandleStopSignals(SIG_DFL);
  runningSession = nullptr;
  session.window.EndGauge();

  if (!report.is_null()) {
    WriteExports(invocation.exports, session);
    if (invocation.json) {
      std::cout << report.dump(JsonIndent) << '\n';
    } else {
      std::cout << TextReport(report);
    }
    std::cout.flush();
  }
  if (session.Meter() != nullptr) PrintWireStats(*session.Meter());
  return static_cast<int>(session.window.GetOutcome().Status());
}
