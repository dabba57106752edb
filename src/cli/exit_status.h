#pragma once

// How a run of qd718 ends, decided in one place: from the message boxes the station shows
// (their titles tell a port failure, a silent scanner and a refusal apart) and from the few
// failures the station reports without a box (a scan readout that failed, a re-read after
// "Load default" that got no answer).

#include <string>

#include "station/window.h"

namespace qd718::cli {

enum class ExitStatus {
  Done = 0,
  Usage = 2,          // bad command line or a malformed input file
  PortNotOpened = 3,  // the port could not be opened
  NoAnswer = 4,       // the scanner did not answer (greeting, parameter read)
  Refused = 5,        // a refused command or a failed transfer
  Stopped = 130,      // the engineer pressed Ctrl-C
};

// The exit status that a station message box stands for; Done for a success box.
ExitStatus StatusOfBox(const std::string& text, const std::string& title, MsgIcon icon);

// The first failure of a run decides its exit status: later failures are usually its
// consequences.
class Outcome {
 public:
  void Note(ExitStatus status) {
    if (status_ == ExitStatus::Done) status_ = status;
  }
  void NoteBox(const std::string& text, const std::string& title, MsgIcon icon) {
    Note(StatusOfBox(text, title, icon));
  }
  ExitStatus Status() const { return status_; }
  bool Failed() const { return status_ != ExitStatus::Done; }
  // The station went no further: the port is closed or the scanner stopped answering.
  bool Halted() const {
    return status_ == ExitStatus::PortNotOpened || status_ == ExitStatus::NoAnswer ||
           status_ == ExitStatus::Stopped;
  }

 private:
  ExitStatus status_ = ExitStatus::Done;
};

}  // namespace qd718::cli
