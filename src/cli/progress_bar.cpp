#include "cli/progress_bar.h"

#include <unistd.h>

#include <algorithm>
#include <string>

namespace qd718::cli {

namespace {

constexpr int BarWidth = 40;
constexpr int FullPercent = 100;

}  // namespace

ProgressBar::ProgressBar(std::FILE* stream)
    : stream_(stream), enabled_(isatty(fileno(stream)) != 0) {}

void ProgressBar::SetMax(int maximum) {
  maximum_ = maximum;
  Draw();
}

void ProgressBar::SetProgress(int progress) {
  progress_ = progress;
  Draw();
}

void ProgressBar::Clear() {
  if (!shown_) return;
  std::fputs("\r\033[K", stream_);
  std::fflush(stream_);
  shown_ = false;
  drawnPercent_ = -1;
}

void ProgressBar::Draw() {
  if (!enabled_) return;
  // Percent of a gauge whose maximum is 0 or below, or whose progress ran past it, is
  // clamped as the window's gauge shows it.
  const int percent =
      maximum_ > 0 ? std::clamp(progress_ * FullPercent / maximum_, 0, FullPercent) : 0;
  // A 12288-step transfer would otherwise redraw the line thousands of times.
  if (shown_ && percent == drawnPercent_) return;
  const int filled = percent * BarWidth / FullPercent;
  const std::string bar = std::string(filled, '#') + std::string(BarWidth - filled, ' ');
  std::fprintf(stream_, "\r[%s] %3d%%", bar.c_str(), percent);
  std::fflush(stream_);
  shown_ = true;
  drawnPercent_ = percent;
}

}  // namespace qd718::cli
