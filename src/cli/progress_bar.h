#pragma once

// The station's progress gauge as a bar on standard error, drawn only when standard error is
// a terminal, so that scripts reading it see message lines alone.

#include <cstdio>

namespace qd718::cli {

class ProgressBar {
 public:
  // Draws on stream only when it is a terminal.
  explicit ProgressBar(std::FILE* stream);

  void SetMax(int maximum);
  void SetProgress(int progress);
  int Progress() const { return progress_; }
  // Removes the bar from its line, so that a message can take it.
  void Clear();

 private:
  void Draw();

  std::FILE* stream_;
  bool enabled_;
  bool shown_ = false;
  int maximum_ = 100;
  int progress_ = 0;
  int drawnPercent_ = -1;
};

}  // namespace qd718::cli
