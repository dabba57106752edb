#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace qd718::sim {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t ReadChunk = 4096;
constexpr std::size_t WriteChunk = 4096;
constexpr std::size_t PathBuffer = 128;

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}

void MakeRaw(int fd) {
  termios settings{};
  if (::tcgetattr(fd, &settings) != 0) Fail("cannot read the terminal settings");
  ::cfmakeraw(&settings);
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  ::cfsetispeed(&settings, B115200);
  ::cfsetospeed(&settings, B115200);
  if (::tcsetattr(fd, TCSANOW, &settings) != 0) Fail("cannot make the terminal raw");
}

}  // namespace

PtyServer::PtyServer(VirtualScanner& scanner, bool pace) : scanner_(scanner), pace_(pace) {}

PtyServer::~PtyServer() {
  if (keepSlave_ >= 0) ::close(keepSlave_);
  if (master_ >= 0) ::close(master_);
}

void PtyServer::Open() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0) Fail("cannot open a pseudo-terminal");
  if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
    Fail("cannot unlock the pseudo-terminal");
  std::array<char, PathBuffer> path{};
  if (::ptsname_r(master_, path.data(), path.size()) != 0) Fail("cannot name the pseudo-terminal");
  devicePath_ = path.data();
  keepSlave_ = ::open(devicePath_.c_str(), O_RDWR | O_NOCTTY);
  if (keepSlave_ < 0) Fail("cannot open " + devicePath_);
  // Raw from the start: with echo on, the sim would read its own replies back as requests.
  MakeRaw(keepSlave_);
  MakeRaw(master_);
  // Packet mode reports the station's purges, so that stale replies can be dropped.
  int packet = 1;
  if (::ioctl(master_, TIOCPKT, &packet) != 0) Fail("cannot switch on packet mode");
  const int flags = ::fcntl(master_, F_GETFL);
  if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0)
    Fail("cannot set O_NONBLOCK");
}

void PtyServer::Run(const std::atomic<bool>& stop) {
  while (!stop.load()) {
    pollfd fd{master_, POLLIN, 0};
    const bool sending = !pending_.empty() || scanner_.PendingOutput() > 0;
    auto wait = std::chrono::nanoseconds(StopLatency);
    if (sending) {
      const auto due = NextWriteDelay();
      if (due <= std::chrono::nanoseconds::zero()) {
        fd.events |= POLLOUT;
      } else {
        wait = std::min(wait, due);
      }
    }
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait);
    const timespec timeout{static_cast<time_t>(seconds.count()),
                           static_cast<long>((wait - seconds).count())};
    const int ready = ::ppoll(&fd, 1, &timeout, nullptr);
    if (ready < 0) {
      if (errno == EINTR) continue;
      Fail("waiting on the pseudo-terminal failed");
    }
    if (fd.revents & POLLIN) ReadRequests();
    if (fd.revents & POLLOUT) WriteReplies();
    if (fd.revents & (POLLHUP | POLLERR)) {
      // Cannot happen while our own end of the slave is open; never spin if it does.
      ::usleep(static_cast<useconds_t>(
          std::chrono::duration_cast<std::chrono::microseconds>(StopLatency).count()));
    }
  }
}

void PtyServer::ReadRequests() {
  std::array<std::uint8_t, ReadChunk + 1> buffer{};
  const ssize_t got = ::read(master_, buffer.data(), buffer.size());
  if (got <= 0) return;
  // In packet mode the first byte says what follows: data, or news about the slave's queues.
  const std::uint8_t kind = buffer[0];
  if (kind == TIOCPKT_DATA) {
    for (ssize_t i = 1; i < got; ++i) scanner_.Receive(buffer[i]);
    return;
  }
  if (kind & TIOCPKT_FLUSHREAD) DropReplies();
}

void PtyServer::DropReplies() {
  pending_.clear();
  scanner_.TakeOutput();
  burstSent_ = 0;
  stalled_ = false;
}

std::chrono::nanoseconds PtyServer::NextWriteDelay() const {
  if (!pace_ || burstSent_ == 0) return std::chrono::nanoseconds::zero();
  const auto due = burstStart_ + PacedByteTime * burstSent_;
  return std::chrono::duration_cast<std::chrono::nanoseconds>(due - Clock::now());
}

void PtyServer::WriteReplies() {
  const auto fresh = scanner_.TakeOutput();
  pending_.insert(pending_.end(), fresh.begin(), fresh.end());
  if (pending_.empty()) {
    burstSent_ = 0;
    return;
  }
  const auto now = Clock::now();
  if (burstSent_ == 0) burstStart_ = now;
  std::size_t allowed = std::min(pending_.size(), WriteChunk);
  if (pace_) {
    // Every byte whose time has come, and no byte before its time.
    long long due = (now - burstStart_) / PacedByteTime + 1;
    if (stalled_) {
      // The station stopped reading for a while: go on at the line rate from now instead of
      // catching up in one rush. Late wake-ups of our own are caught up, to keep the rate.
      burstStart_ = now - PacedByteTime * burstSent_;
      due = burstSent_ + 1;
    }
    allowed = std::min(allowed, static_cast<std::size_t>(std::max(0LL, due - burstSent_)));
  }
  if (allowed == 0) return;
  std::array<std::uint8_t, WriteChunk> chunk{};
  std::copy_n(pending_.begin(), allowed, chunk.begin());
  const ssize_t written = ::write(master_, chunk.data(), allowed);
  stalled_ = written < static_cast<ssize_t>(allowed);
  if (written <= 0) return;  // the station is not reading: try again later
  pending_.erase(pending_.begin(), pending_.begin() + written);
  burstSent_ += written;
  if (pending_.empty() && scanner_.PendingOutput() == 0) burstSent_ = 0;
}

}  // namespace qd718::sim
