#pragma once

// Running qd718 and qd718-sim as the scripts outside the project do: real processes, real
// pseudo-terminals, exit statuses and both output streams.

#include <sys/types.h>

#include <string>
#include <vector>

namespace qd718::test {

struct ProcessResult {
  int exitStatus = -1;  // 128 + signal number when killed by a signal
  std::string out;
  std::string err;
};

// Runs a program to its end with extra environment entries ("NAME=value").
ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment = {});

// A private folder, removed with everything in it at the end of the test.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// A qd718-sim process on its own pseudo-terminal, stopped with SIGTERM at the end.
class SimProcess {
 public:
  explicit SimProcess(const std::vector<std::string>& options = {},
                      const std::vector<std::string>& environment = {});
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // The device end of the pseudo-terminal, the first line the sim prints.
  const std::string& Device() const { return device_; }
  // Stops the sim and returns its exit status.
  int Stop();

 private:
  pid_t pid_ = -1;
  int outFd_ = -1;
  std::string device_;
};

}  // namespace qd718::test
