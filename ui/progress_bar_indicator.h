#pragma once

#include <cstdint>

#include "core/progress_indicator.h"

class QProgressBar;

namespace rastrel {

// Lends a QProgressBar to the GRA writer. Qt's bar has no step of its own,
// so the step is kept here.
class ProgressBarIndicator final : public ProgressIndicator {
 public:
  explicit ProgressBarIndicator(QProgressBar* bar) : bar_(bar) {}

  void SetStep(std::int32_t step) override { step_ = step; }
  void SetMax(std::int32_t max) override;
  void Step() override;
  void SetPosition(std::int32_t position) override;

 private:
  QProgressBar* bar_;
  std::int32_t step_ = 10;
};

}  // namespace rastrel
