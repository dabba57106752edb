#pragma once

// qd718-sim run as a child process, with its standard output on a pipe, and a raw terminal
// on its device end.

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace qd718::sim::test {

class SimProcess {
 public:
  // Starts qd718-sim with the arguments; env adds to (or replaces in) the environment.
  explicit SimProcess(const std::vector<std::string>& args,
                      const std::map<std::string, std::string>& env = {});
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // The first line of standard output, or "" if none came within the time.
  std::string FirstLine(std::chrono::milliseconds within = std::chrono::seconds(5));
  // Sends the signal and waits for the exit; the exit status, or -1 if it did not exit
  // normally within the time.
  int Stop(int signal, std::chrono::milliseconds within = std::chrono::seconds(5));
  // Waits for an exit that comes on its own (a refused command line).
  int Wait(std::chrono::milliseconds within = std::chrono::seconds(5));

 private:
  int pid_ = -1;
  int stdout_ = -1;
  bool exited_ = false;
};

// A raw terminal on a device path, as a station would open it.
class Terminal {
 public:
  explicit Terminal(const std::string& path);
  ~Terminal();
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  void Write(const std::vector<std::uint8_t>& bytes);
  // Reads until count bytes arrived or nothing came for `quiet`.
  std::vector<std::uint8_t> Read(std::size_t count,
                                 std::chrono::milliseconds quiet = std::chrono::milliseconds(500));
  // Drops what was received and not read, as the station's purge does.
  void Purge();
  void Close();

 private:
  int fd_ = -1;
};

}  // namespace qd718::sim::test
