#pragma once

#include <cstdint>

namespace rastrel {

// What the GRA writer needs of a progress bar. The main window lends its
// ProgressBar1; the command-line converter draws one on standard error.
class ProgressIndicator {
 public:
  virtual ~ProgressIndicator() = default;
  virtual void SetStep(std::int32_t step) = 0;
  virtual void SetMax(std::int32_t max) = 0;
  virtual void Step() = 0;  // advance the position by the step
  virtual void SetPosition(std::int32_t position) = 0;
};

// For when nobody watches: benchmarks, and the converter without a terminal.
class NoProgress final : public ProgressIndicator {
 public:
  void SetStep(std::int32_t) override {}
  void SetMax(std::int32_t) override {}
  void Step() override {}
  void SetPosition(std::int32_t) override {}
};

}  // namespace rastrel
