// rastrel-convert: the conversion core on the command line, for scripts and
// batch work.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "cli/command_line.h"
#include "cli/terminal_progress.h"
#include "core/bitmap_file.h"
#include "core/conversion_settings.h"
#include "core/gra_writer.h"
#include "core/int32_math.h"
#include "core/launch_arguments.h"
#include "core/load_error.h"
#include "core/message_hook.h"

namespace rastrel::cli {
namespace {

constexpr char kProgram[] = "rastrel-convert";

// Prints each message as "rastrel-convert: FILE: message" and remembers that
// the conversion failed.
class ErrorMessages final : public MessageHook {
 public:
  ErrorMessages(TerminalProgress* progress, std::string absolute_output, std::string output)
      : progress_(progress),
        absolute_output_(std::move(absolute_output)),
        output_(std::move(output)) {}

  void ShowMessage(std::string_view text, std::string_view file) override {
    if (progress_) progress_->EndLine();
    // The GRA file is named as the user typed it, not as it was made absolute.
    if (file == absolute_output_) file = output_;
    std::fprintf(stderr, "%s: %.*s: %.*s\n", kProgram, static_cast<int>(file.size()), file.data(),
                 static_cast<int>(text.size()), text.data());
    failed_ = true;
  }
  bool failed() const { return failed_; }

 private:
  TerminalProgress* progress_;
  std::string absolute_output_;
  std::string output_;
  bool failed_ = false;
};

// The drawing size: derived from the bitmap as the window's Open does, then
// the sides given on the command line, a missing one following the bitmap's
// aspect ratio as the options dialog derives it.
void ApplySize(const ConvertOptions& options, const Bitmap& bitmap) {
  Settings& s = ConversionSettings;
  DeriveGraSize(bitmap.Width(), bitmap.Height());
  if (options.width) s.GraWidth = *options.width;
  if (options.height) s.GraHeight = *options.height;
  if (!options.keep_ratio || options.width.has_value() == options.height.has_value()) return;
  if (options.width) {
    s.GraHeight = ClampToInt32(std::int64_t{bitmap.Height()} * s.GraWidth / bitmap.Width());
  } else {
    s.GraWidth = ClampToInt32(std::int64_t{bitmap.Width()} * s.GraHeight / bitmap.Height());
  }
}

int Convert(const ConvertOptions& options) {
  Settings& s = ConversionSettings;
  std::string gra_path = options.output;
  if (options.rect) {
    // Ngraph resolves a relative merge::file against its own working folder.
    gra_path = std::filesystem::absolute(options.output).string();
    const auto& [x1, x2, y1, y2] = *options.rect;
    SetProcessArguments({kProgram, x1, x2, y1, y2, *options.script});
    ReadLaunchArguments({x1, x2, y1, y2, *options.script});
  }

  try {
    s.SourceBitmap = std::make_unique<Bitmap>(ReadBitmapFile(options.input));
    ApplySize(options, *s.SourceBitmap);
  } catch (const LoadError& error) {
    std::fprintf(stderr, "%s: %s: %s\n", kProgram, options.input.c_str(), error.what());
    return 1;
  }
  s.ColorMode = options.color_mode;
  s.KeyColor = options.key_color;
  s.RectAction = options.rect_action;

  const bool draw_bar = !options.quiet && isatty(STDERR_FILENO);
  TerminalProgress bar(stderr);
  NoProgress no_bar;
  ErrorMessages messages(draw_bar ? &bar : nullptr, gra_path, options.output);
  WriteGraFile(gra_path, draw_bar ? static_cast<ProgressIndicator&>(bar) : no_bar, messages);
  return messages.failed() ? 1 : 0;
}

int Run(const std::vector<std::string>& arguments) {
  const ParsedCommandLine parsed = ParseCommandLine(arguments);
  if (const auto* error = std::get_if<UsageError>(&parsed)) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", kProgram,
                 error->problem.c_str(), kProgram);
    return 2;
  }
  if (std::holds_alternative<ShowHelp>(parsed)) {
    std::fputs(kHelpText, stdout);
    return 0;
  }
  if (std::holds_alternative<ShowVersion>(parsed)) {
    std::printf("%s (Rastrel) %s\n", kProgram, RASTREL_VERSION);
    return 0;
  }
  return Convert(std::get<ConvertOptions>(parsed));
}

}  // namespace
}  // namespace rastrel::cli

int main(int argc, char** argv) {
  try {
    return rastrel::cli::Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& error) {
    // Out of memory, or a working folder that has gone: still a clear message.
    std::fprintf(stderr, "%s: %s\n", rastrel::cli::kProgram, error.what());
    return 1;
  }
}
