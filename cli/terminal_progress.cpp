#include "cli/terminal_progress.h"

#include <algorithm>

namespace rastrel::cli {

void TerminalProgress::Step() {
  position_ = std::min<std::int64_t>(position_ + step_, max_);
  Draw();
}

void TerminalProgress::SetPosition(std::int32_t position) {
  position_ = std::clamp<std::int64_t>(position, 0, std::max(max_, 0));
  // The writer puts the bar back to 0 when it is done with the file.
  if (position_ == 0) {
    EndLine();
  } else {
    Draw();
  }
}

void TerminalProgress::EndLine() {
  if (drawn_percent_ < 0) return;
  std::fputc('\n', terminal_);
  std::fflush(terminal_);
  drawn_percent_ = -1;
}

void TerminalProgress::Draw() {
  constexpr int kWidth = 40;
  const int percent = max_ > 0 ? static_cast<int>(position_ * 100 / max_) : 100;
  if (percent == drawn_percent_) return;
  drawn_percent_ = percent;
  char bar[kWidth + 1];
  const int filled = percent * kWidth / 100;
  std::fill(bar, bar + kWidth, '.');
  std::fill(bar, bar + filled, '#');
  bar[kWidth] = '\0';
  std::fprintf(terminal_, "\r[%s] %3d%%", bar, percent);
  std::fflush(terminal_);
}

}  // namespace rastrel::cli
