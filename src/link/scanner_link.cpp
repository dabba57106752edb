#include "link/scanner_link.h"

#include <QSerialPort>
#include <algorithm>

#include "link/port_names.h"

#if defined(Q_OS_UNIX)
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#endif

namespace qd718 {

namespace {

// One byte goes out within the write time-out of a one-byte write.
constexpr Millis WriteByteTimeout = WriteTotalTimeoutConstant + WriteTotalTimeoutMultiplier * 1;
// How long a purge lets the bytes already written leave before it drops the receive side.
// Our requests are a few bytes long; at 115200 baud they leave in well under a millisecond.
constexpr Millis PurgeDrainLimit = WriteByteTimeout;
// How often a purge looks at the driver's transmit queue while it drains.
constexpr Micros DrainPoll{500};

int CeilMillis(Micros duration) {
  const auto ms = std::chrono::ceil<Millis>(duration).count();
  return static_cast<int>(std::max<decltype(ms)>(ms, 1));
}

// Another station (or another link of this one) holding the device is refused. QSerialPort's
// lock file alone does not do it: the device's own exclusive mode does not stop root, and a
// lock file can be taken for stale. A lock on the device itself ends with its last holder.
bool LockDevice(QSerialPort& port) {
#if defined(Q_OS_UNIX)
  return ::flock(port.handle(), LOCK_EX | LOCK_NB) == 0;
#else
  (void)port;
  return true;  // elsewhere the open itself is exclusive
#endif
}

// Bytes still in the driver's transmit queue.
int DriverOutputQueued(QSerialPort& port) {
#if defined(Q_OS_UNIX)
  int queued = 0;
  if (::ioctl(port.handle(), TIOCOUTQ, &queued) != 0) return 0;
  return queued;
#else
  (void)port;
  return 0;
#endif
}

// The other end hung up: a virtual scanner that was killed, a pseudo-terminal whose owner
// went away. Nothing will ever arrive again on this descriptor.
bool HungUp(QSerialPort& port) {
#if defined(Q_OS_UNIX)
  pollfd state{static_cast<int>(port.handle()), POLLIN, 0};
  return ::poll(&state, 1, 0) > 0 && (state.revents & POLLHUP) != 0;
#else
  (void)port;
  return false;
#endif
}

bool DeviceGone(QSerialPort& port) {
  switch (port.error()) {
    case QSerialPort::ResourceError:
    case QSerialPort::NotOpenError:
      return true;
    case QSerialPort::ReadError:
      return HungUp(port);
    default:
      return false;
  }
}

}  // namespace

TScannerLink::TScannerLink() = default;

TScannerLink::~TScannerLink() {
  if (IsOpen()) ReleasePort();
}

bool TScannerLink::IsOpen() const {
  return port_ != nullptr && port_->isOpen();
}

bool TScannerLink::OpenPort(const std::string& name) {
  // A port left open is released first, without the pause: the engineer is switching ports.
  if (IsOpen()) ReleasePort();
  devicePath_ = DevicePathFor(name);
  // Made here rather than in the constructor, so it belongs to the thread that uses it.
  if (!port_) port_ = std::make_unique<QSerialPort>();
  port_->setPortName(QString::fromStdString(devicePath_));
  port_->setBaudRate(BaudRate);
  port_->setDataBits(QSerialPort::Data8);
  port_->setParity(QSerialPort::NoParity);
  port_->setStopBits(QSerialPort::OneStop);
  port_->setFlowControl(QSerialPort::NoFlowControl);
  if (!port_->open(QIODevice::ReadWrite)) return false;
  if (!LockDevice(*port_)) {
    port_->close();
    return false;
  }
  // Nothing of ours has been written yet: whatever sits in either queue is old.
  port_->clear(QSerialPort::AllDirections);
  // Once the device is open the open counts as done: a pseudo-terminal refuses the modem
  // lines and the break, and the scanner does not need them to answer.
  port_->setRequestToSend(true);
  port_->setDataTerminalReady(false);
  port_->setBreakEnabled(false);
  port_->clearError();
  return true;
}

void TScannerLink::ReleasePort() {
  port_->setBreakEnabled(true);
  port_->close();  // the device lock goes with the descriptor
  port_->clearError();
}

void TScannerLink::ClosePort() {
  if (!IsOpen()) return;
  ReleasePort();
  // Not a protocol pause: closing must work also after the operation was cancelled.
  clock_.Sleep(ClosePause);
}

bool TScannerLink::DrainOutput(Millis limit) {
  const Micros deadline = clock_.Now() + limit;
  while (port_->bytesToWrite() > 0) {
    const Micros left = deadline - clock_.Now();
    if (left.count() <= 0) return false;
    port_->clearError();
    if (!port_->waitForBytesWritten(CeilMillis(std::min<Micros>(left, CancelSlice))) &&
        port_->error() != QSerialPort::TimeoutError && port_->error() != QSerialPort::NoError)
      return false;  // the device refuses the bytes; they will never leave
  }
  while (DriverOutputQueued(*port_) > 0) {
    if (clock_.Now() >= deadline) return false;
    clock_.Sleep(DrainPoll);
  }
  return true;
}

void TScannerLink::PurgeBuffers() {
  ThrowIfCancelled();
  if (!IsOpen()) return;
  // The request bytes already written must go out: discarding the transmit side would lose
  // the tail of the previous request (a scan start followed at once by the next exchange).
  DrainOutput(PurgeDrainLimit);
  // Drops both the driver's receive queue and what Qt has already read into its own buffer.
  port_->clear(QSerialPort::Input);
  port_->clearError();
}

int TScannerLink::WriteByte(std::uint8_t byte) {
  ThrowIfCancelled();
  if (!IsOpen()) return 0;
  const char data = static_cast<char>(byte);
  port_->clearError();
  if (port_->write(&data, 1) != 1) return 0;
  if (DrainOutput(WriteByteTimeout)) return 1;
  // A byte reported as not sent must not go out later, in the middle of another request.
  port_->clear(QSerialPort::Output);
  return 0;
}

bool TScannerLink::WaitForInput(Micros deadline) {
  const Micros sliceEnd = std::min<Micros>(deadline, clock_.Now() + CancelSlice);
  port_->clearError();
  if (port_->waitForReadyRead(CeilMillis(sliceEnd - clock_.Now()))) return true;
  if (DeviceGone(*port_)) return false;
  // A wait that ended early without bytes (a read error, a hang-up) must not spin.
  const Micros left = sliceEnd - clock_.Now();
  if (left.count() > 0) clock_.Sleep(left);
  return true;
}

int TScannerLink::ReadBytes(std::uint8_t* buffer, int count) {
  ThrowIfCancelled();
  if (!IsOpen() || count <= 0) return 0;
  const Micros totalDeadline = clock_.Now() + ReadTotalTimeout(count);
  Micros lastByte{};
  int got = 0;
  for (;;) {
    const qint64 taken = port_->read(reinterpret_cast<char*>(buffer) + got, count - got);
    if (taken > 0) {
      got += static_cast<int>(taken);
      lastByte = clock_.Now();
    }
    if (got == count) return got;
    Micros deadline = totalDeadline;
    if (got > 0) deadline = std::min<Micros>(deadline, lastByte + ReadIntervalTimeout);
    if (clock_.Now() >= deadline) return got;
    ThrowIfCancelled();
    if (!WaitForInput(deadline)) return got;  // the device is gone: nothing more will come
  }
}

}  // namespace qd718
