#pragma once

// qd718-sim as a child process: started with its options, its device path read from the
// first line it prints, stopped (or killed, as a scanner that loses power) on request.

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

namespace qd718::test {

class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> options) {
    int out[2];
    if (::pipe(out) != 0) return;
    std::vector<std::string> args{QD718_SIM};
    args.insert(args.end(), options.begin(), options.end());
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out[1], STDOUT_FILENO);
      ::close(out[0]);
      ::close(out[1]);
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    ::close(out[1]);
    stdout_ = out[0];
    path_ = ReadLine(std::chrono::seconds{10});
  }
  ~SimProcess() {
    Stop(SIGTERM);
    if (stdout_ >= 0) ::close(stdout_);
  }
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // The device end of its pseudo-terminal; empty when it did not start.
  const std::string& Path() const { return path_; }

  // Ends it and waits for it; returns its exit status, or -1 when it did not exit by itself.
  int Stop(int signal) {
    if (pid_ <= 0) return -1;
    ::kill(pid_, signal);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  std::string ReadLine(std::chrono::milliseconds wait) {
    std::string line;
    const auto end = std::chrono::steady_clock::now() + wait;
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      if (left.count() <= 0) return {};
      pollfd p{stdout_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) return {};
      char c = 0;
      if (::read(stdout_, &c, 1) != 1) return {};
      if (c == '\n') return line;
      line += c;
    }
  }

  pid_t pid_ = -1;
  int stdout_ = -1;
  std::string path_;
};

}  // namespace qd718::test
