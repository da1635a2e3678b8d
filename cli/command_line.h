#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/color_ref.h"
#include "core/conversion_settings.h"

namespace rastrel::cli {

struct ConvertOptions {
  std::string input;
  std::string output;
  std::optional<std::int32_t> width;
  std::optional<std::int32_t> height;
  bool keep_ratio = true;
  ColorMode color_mode = ColorMode::Transparent;
  ColorRef key_color = 0xFFFFFF;
  // Launched use: the four edges as Ngraph passes them, and the script path.
  std::optional<std::array<std::string, 4>> rect;
  std::optional<std::string> script;
  RectAction rect_action = RectAction::Delete;
  bool quiet = false;
};

struct ShowHelp {};
struct ShowVersion {};
struct UsageError {
  std::string problem;
};

using ParsedCommandLine = std::variant<ConvertOptions, ShowHelp, ShowVersion, UsageError>;

// `arguments` without the program's own name.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

extern const char kHelpText[];

}  // namespace rastrel::cli
