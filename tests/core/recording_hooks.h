#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/message_hook.h"
#include "core/progress_indicator.h"

namespace rastrel::testing {

// Remembers every progress operation, in order, as text ("max 2", "step").
class RecordingProgress final : public ProgressIndicator {
 public:
  void SetStep(std::int32_t step) override { calls.push_back("step size " + std::to_string(step)); }
  void SetMax(std::int32_t max) override { calls.push_back("max " + std::to_string(max)); }
  void Step() override { calls.push_back("step"); }
  void SetPosition(std::int32_t position) override {
    calls.push_back("position " + std::to_string(position));
  }
  std::vector<std::string> calls;
};

class RecordingMessages final : public MessageHook {
 public:
  void ShowMessage(std::string_view text, std::string_view file) override {
    texts.emplace_back(text);
    files.emplace_back(file);
  }
  std::vector<std::string> texts;
  std::vector<std::string> files;
};

}  // namespace rastrel::testing
