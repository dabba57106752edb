// qd718-sim: a virtual QD718 on a pseudo-terminal.

#include <CLI/CLI.hpp>
#include <atomic>
#include <csignal>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>

#include "sim/fault_options.h"
#include "sim/port_alias.h"
#include "sim/pty_server.h"
#include "sim/scenes.h"
#include "sim/virtual_scanner.h"

namespace {

constexpr int ExitDone = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

std::atomic<bool> stopRequested{false};

extern "C" void RequestStop(int) {
  stopRequested.store(true);
}

void InstallSignals() {
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

// CLI11 check of a fault option's text with one of the fault parsers.
template <typename Parse>
CLI::Validator FaultCheck(Parse parse, const std::string& form) {
  return CLI::Validator(
      [parse](std::string& text) -> std::string {
        try {
          parse(text);
          return {};
        } catch (const std::invalid_argument& e) {
          return e.what();
        }
      },
      form);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace qd718::sim;

  CLI::App app{"qd718-sim: a virtual QD718 laser profile scanner on a pseudo-terminal"};
  std::string alias;
  std::string scene = DefaultScene;
  std::uint32_t seed = 1;
  bool pace = false;
  std::vector<std::string> silent, shortReplies, busy, badAck;
  app.add_option("--alias", alias, "also make the port name COMn lead to the scanner")
      ->check(CLI::Validator(
          [](std::string& text) -> std::string {
            return AliasName(text) ? std::string() : "'" + text + "' is not a port name COMn";
          },
          "COMn"));
  app.add_option("--scene", scene, "what lies under the heads")->check(CLI::IsMember(SceneNames()));
  app.add_option("--seed", seed, "seed of the noise and the serial number");
  app.add_flag("--pace", pace, "send replies at 115200 baud 8N1");
  app.add_option("--silent", silent, "channel N never answers")
      ->check(FaultCheck(ParseChannel, "N"));
  app.add_option("--short", shortReplies, "channel N answers command CMD with only BYTES bytes")
      ->check(FaultCheck(ParseShortReply, "N:CMD:BYTES"));
  app.add_option("--busy", busy, "channel N reports busy COUNT times after a scan start")
      ->check(FaultCheck(ParseBusy, "N:COUNT"));
  app.add_option("--bad-ack", badAck, "channel N acknowledges table block BLOCK (1-6) wrongly")
      ->check(FaultCheck(ParseBadAck, "N:BLOCK"));

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return ExitUsage;
  }

  ScannerOptions options;
  options.scene = scene;
  options.seed = seed;
  for (const auto& text : silent) options.faults.silent.push_back(ParseChannel(text));
  for (const auto& text : shortReplies)
    options.faults.shortReplies.push_back(ParseShortReply(text));
  for (const auto& text : busy) {
    const auto [channel, count] = ParseBusy(text);
    options.faults.busyCount.insert_or_assign(channel, count);
  }
  for (const auto& text : badAck) {
    const auto [channel, block] = ParseBadAck(text);
    options.faults.badAckBlock.insert_or_assign(channel, block);
  }

  InstallSignals();
  try {
    VirtualScanner scanner(options);
    PtyServer server(scanner, pace);
    server.Open();
    std::unique_ptr<PortAlias> portAlias;
    if (!alias.empty())
      portAlias = std::make_unique<PortAlias>(*AliasName(alias), server.DevicePath());
    std::cout << server.DevicePath() << std::endl;  // the first line, flushed: scripts wait for it
    if (portAlias) std::cerr << "qd718-sim: " << alias << " -> " << portAlias->Path() << '\n';
    server.Run(stopRequested);
  } catch (const std::exception& e) {
    std::cerr << "qd718-sim: " << e.what() << '\n';
    return ExitFailed;
  }
  return ExitDone;
}
