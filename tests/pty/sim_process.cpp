#include "sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

namespace qd718::sim::test {

namespace {

using Clock = std::chrono::steady_clock;

int PollFor(int fd, Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  if (left.count() <= 0) return 0;
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, static_cast<int>(left.count()));
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& args,
                       const std::map<std::string, std::string>& env) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return;
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(pipeFds[1], STDOUT_FILENO);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    for (const auto& [name, value] : env) ::setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> argv;
    static std::string program = QD718_SIM_PROGRAM;
    argv.push_back(program.data());
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(pipeFds[1]);
  stdout_ = pipeFds[0];
}

SimProcess::~SimProcess() {
  if (pid_ > 0 && !exited_) Stop(SIGKILL);
  if (stdout_ >= 0) ::close(stdout_);
}

std::string SimProcess::FirstLine(std::chrono::milliseconds within) {
  const auto deadline = Clock::now() + within;
  std::string line;
  char c = 0;
  while (PollFor(stdout_, deadline) > 0 && ::read(stdout_, &c, 1) == 1) {
    if (c == '\n') return line;
    line += c;
  }
  return "";
}

int SimProcess::Stop(int signal, std::chrono::milliseconds within) {
  if (pid_ <= 0 || exited_) return -1;
  ::kill(pid_, signal);
  return Wait(within);
}

int SimProcess::Wait(std::chrono::milliseconds within) {
  if (pid_ <= 0 || exited_) return -1;
  const auto deadline = Clock::now() + within;
  int status = 0;
  while (Clock::now() < deadline) {
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      exited_ = true;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, &status, 0);
  exited_ = true;
  return -1;
}

Terminal::Terminal(const std::string& path) {
  fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd_ < 0) return;
  termios settings{};
  ::tcgetattr(fd_, &settings);
  ::cfmakeraw(&settings);
  ::tcsetattr(fd_, TCSANOW, &settings);
}

Terminal::~Terminal() {
  Close();
}

void Terminal::Write(const std::vector<std::uint8_t>& bytes) {
  for (const auto b : bytes) {
    while (::write(fd_, &b, 1) != 1) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

std::vector<std::uint8_t> Terminal::Read(std::size_t count, std::chrono::milliseconds quiet) {
  std::vector<std::uint8_t> out;
  std::uint8_t buffer[4096];
  while (out.size() < count && PollFor(fd_, Clock::now() + quiet) > 0) {
    const auto want = std::min(sizeof buffer, count - out.size());
    const ssize_t got = ::read(fd_, buffer, want);
    if (got <= 0) break;
    out.insert(out.end(), buffer, buffer + got);
  }
  return out;
}

void Terminal::Purge() {
  ::tcdrain(fd_);
  ::tcflush(fd_, TCIFLUSH);
}

void Terminal::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace qd718::sim::test
