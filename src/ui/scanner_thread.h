#pragma once

// The scanner thread: one long-lived thread that owns the serial link and runs every handler
// that talks to the scanner or touches the profile store, one at a time. The window thread
// only hands jobs over and hears when they end; it never waits for one.

#include <QObject>
#include <QThread>
#include <functional>
#include <memory>
#include <string>

#include "link/link.h"

namespace qd718 {

class ScannerThread : public QObject {
  Q_OBJECT

 public:
  // Without a link the thread makes its own TScannerLink; tests hand in theirs.
  explicit ScannerThread(Link* link = nullptr, QObject* parent = nullptr);
  // Only once no job runs (TMainForm waits for that): drops the link on its own thread and
  // ends the thread.
  ~ScannerThread() override;

  Link& GetLink() { return *link_; }
  QThread* Thread() { return &thread_; }

  // Shows an error that escaped a job (its message; empty when it had none). Called on the
  // scanner thread.
  void SetErrorDisplay(std::function<void(const std::string&)> display);

  // Starts the job on the scanner thread; done runs on the calling (window) thread after it
  // ended, however it ended. False, and nothing runs, while another job is running.
  bool Run(std::function<void()> job, std::function<void()> done = {});
  bool Busy() const { return busy_; }
  // Stops the running job at the link's next wait; it then unwinds silently.
  void Cancel();

 private:
  QThread thread_;
  QObject* worker_;  // lives on the scanner thread; jobs are delivered to it
  std::unique_ptr<Link> ownLink_;
  Link* link_;
  std::function<void(const std::string&)> errorDisplay_;
  bool busy_ = false;
};

}  // namespace qd718
