#include "ui/scanner_thread.h"

#include <exception>

#include "link/scanner_link.h"

namespace qd718 {

ScannerThread::ScannerThread(Link* link, QObject* parent) : QObject(parent), worker_(new QObject) {
  if (link == nullptr) {
    // Its serial port is made by its first open, on the thread that opens it: this one.
    ownLink_ = std::make_unique<TScannerLink>();
    link = ownLink_.get();
  }
  link_ = link;
  thread_.setObjectName(QStringLiteral("scanner"));
  worker_->moveToThread(&thread_);
  connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
  thread_.start();
}

ScannerThread::~ScannerThread() {
  if (ownLink_) {
    // The serial port belongs to the scanner thread, and goes with it there.
    QMetaObject::invokeMethod(
        worker_, [this] { ownLink_.reset(); }, Qt::BlockingQueuedConnection);
  }
  thread_.quit();
  thread_.wait();
}

void ScannerThread::SetErrorDisplay(std::function<void(const std::string&)> display) {
  errorDisplay_ = std::move(display);
}

bool ScannerThread::Run(std::function<void()> job, std::function<void()> done) {
  if (busy_) return false;
  busy_ = true;
  // A Stop meant for the previous job must not end this one.
  link_->ResetCancel();
  QMetaObject::invokeMethod(
      worker_,
      [this, job = std::move(job), done = std::move(done)]() mutable {
        try {
          job();
        } catch (const OperationCancelled&) {
          // Stopped by the engineer: ends silently, what was done stays done.
        } catch (const std::exception& error) {
          if (errorDisplay_) errorDisplay_(error.what());
        } catch (...) {
          if (errorDisplay_) errorDisplay_(std::string());
        }
        QMetaObject::invokeMethod(
            this,
            [this, done = std::move(done)] {
              busy_ = false;
              if (done) done();
            },
            Qt::QueuedConnection);
      },
      Qt::QueuedConnection);
  return true;
}

void ScannerThread::Cancel() {
  if (busy_) link_->Cancel();
}

}  // namespace qd718
