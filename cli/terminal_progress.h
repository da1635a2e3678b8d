#pragma once

#include <cstdint>
#include <cstdio>

#include "core/progress_indicator.h"

namespace rastrel::cli {

// A progress bar on a terminal, redrawn in place only when its percentage
// changes, so that a picture of many rows costs next to nothing.
class TerminalProgress final : public ProgressIndicator {
 public:
  explicit TerminalProgress(std::FILE* terminal) : terminal_(terminal) {}

  void SetStep(std::int32_t step) override { step_ = step; }
  void SetMax(std::int32_t max) override { max_ = max; }
  void Step() override;
  void SetPosition(std::int32_t position) override;

  // Ends the bar's line so that other text can follow it.
  void EndLine();

 private:
  void Draw();

  std::FILE* terminal_;
  std::int32_t step_ = 1;
  std::int32_t max_ = 100;
  std::int64_t position_ = 0;
  int drawn_percent_ = -1;
};

}  // namespace rastrel::cli
