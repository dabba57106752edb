#include "cli/cli_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

extern char** environ;

namespace qd718::test {

namespace {

constexpr int ReadChunk = 65536;
constexpr int ExitBySignal = 128;
constexpr int SimStartTimeoutMs = 10000;

struct Pipe {
  int read = -1;
  int write = -1;
  Pipe() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    read = fds[0];
    write = fds[1];
  }
};

std::vector<char*> CStrings(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
            int stdoutFd, int stderrFd) {
  std::vector<std::string> args = argv;
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
  env.insert(env.end(), environment.begin(), environment.end());
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, stderrFd, STDERR_FILENO);
  pid_t pid = -1;
  auto argPointers = CStrings(args);
  auto envPointers = CStrings(env);
  const int failed =
      posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argPointers.data(), envPointers.data());
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) throw std::runtime_error("cannot start " + args[0]);
  return pid;
}

int WaitFor(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return ExitBySignal + WTERMSIG(status);
  return -1;
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment) {
  Pipe out;
  Pipe err;
  const pid_t pid = Spawn(argv, environment, out.write, err.write);
  close(out.write);
  close(err.write);
  ProcessResult result;
  // Both streams are drained together: a large report must not block the program.
  std::array<pollfd, 2> fds{{{out.read, POLLIN, 0}, {err.read, POLLIN, 0}}};
  std::array<std::string*, 2> targets{&result.out, &result.err};
  int open = 2;
  std::vector<char> buffer(ReadChunk);
  while (open > 0) {
    poll(fds.data(), fds.size(), -1);
    for (std::size_t i = 0; i < fds.size(); ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      const ssize_t n = read(fds[i].fd, buffer.data(), buffer.size());
      if (n > 0) {
        targets[i]->append(buffer.data(), static_cast<std::size_t>(n));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  result.exitStatus = WaitFor(pid);
  return result;
}

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qd718-cli-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

SimProcess::SimProcess(const std::vector<std::string>& options,
                       const std::vector<std::string>& environment) {
  Pipe out;
  std::vector<std::string> argv{QD718_SIM_EXE};
  argv.insert(argv.end(), options.begin(), options.end());
  const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
  pid_ = Spawn(argv, environment, out.write, devNull);
  close(devNull);
  close(out.write);
  outFd_ = out.read;
  // The first line is the device path.
  pollfd fd{outFd_, POLLIN, 0};
  char c = 0;
  while (poll(&fd, 1, SimStartTimeoutMs) > 0 && read(outFd_, &c, 1) == 1 && c != '\n') {
    device_ += c;
  }
  if (device_.empty()) {
    Stop();
    throw std::runtime_error("qd718-sim printed no device path");
  }
}

SimProcess::~SimProcess() {
  Stop();
}

int SimProcess::Stop() {
  if (pid_ < 0) return -1;
  kill(pid_, SIGTERM);
  const int status = WaitFor(pid_);
  pid_ = -1;
  close(outFd_);
  return status;
}

}  // namespace qd718::test
