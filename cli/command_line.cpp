#include "cli/command_line.h"

#include <charconv>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace rastrel::cli {

const char kHelpText[] =
    "Usage: rastrel-convert [OPTION]... INPUT.bmp OUTPUT.gra\n"
    "Convert a Windows bitmap into an Ngraph GRA drawing: one filled rectangle\n"
    "for each run of equal colour in each row of pixels.\n"
    "\n"
    "      --width N             drawing width in GRA units (default: 50 a pixel,\n"
    "                            or the rectangle's width with --rect)\n"
    "      --height N            drawing height in GRA units\n"
    "      --keep-ratio          derive the side not given from the bitmap's\n"
    "                            aspect ratio (default)\n"
    "      --no-keep-ratio       leave the side not given at its default\n"
    "      --mode MODE           all: draw every colour; background: lay the key\n"
    "                            colour down first as a background; transparent:\n"
    "                            leave the key colour out (default)\n"
    "      --key RRGGBB          the key colour in hexadecimal, '#' optional\n"
    "                            (default: ffffff, white)\n"
    "      --rect X1 X2 Y1 Y2    the rectangle of an Ngraph graph to place the\n"
    "                            drawing in, as Ngraph passes it; the drawing takes\n"
    "                            its width and a merge script is written\n"
    "      --script PATH         where the merge script goes (with --rect)\n"
    "      --rect-action ACTION  what the script does with the rectangle: adjust,\n"
    "                            delete (default) or none\n"
    "  -q, --quiet               draw no progress bar\n"
    "      --help                display this help and exit\n"
    "      --version             output version information and exit\n"
    "\n"
    "Exit status: 0 when the drawing was written, 1 when the conversion failed,\n"
    "2 for a command-line error.\n";

namespace {

std::optional<std::int64_t> ParseInteger(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::int64_t value;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::optional<ColorRef> ParseRgb(std::string_view text) {
  if (text.starts_with('#')) text.remove_prefix(1);
  if (text.size() != 6) return std::nullopt;
  std::uint32_t rgb;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), rgb, 16);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return MakeColorRef(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF);
}

class Parser {
 public:
  explicit Parser(const std::vector<std::string>& arguments) : arguments_(arguments) {}

  ParsedCommandLine Parse() {
    ConvertOptions options;
    std::vector<std::string> files;
    bool only_files = false;
    while (next_ < arguments_.size()) {
      std::string word = arguments_[next_++];
      if (only_files || word == "-" || !word.starts_with('-')) {
        files.push_back(word);
        continue;
      }
      if (word == "--") {
        only_files = true;
        continue;
      }
      // --name=value is the same as --name value.
      inline_value_.reset();
      if (const std::size_t equals = word.find('=');
          word.starts_with("--") && equals != word.npos) {
        inline_value_ = word.substr(equals + 1);
        word.resize(equals);
      }
      if (word == "--help") return ShowHelp{};
      if (word == "--version") return ShowVersion{};
      if (!Option(word, options)) return UsageError{problem_};
    }
    if (options.rect.has_value() != options.script.has_value()) {
      return UsageError{options.rect ? "--rect needs --script" : "--script needs --rect"};
    }
    if (files.size() != 2) {
      return UsageError{files.size() < 2 ? "missing file operand" : "too many file operands"};
    }
    options.input = files[0];
    options.output = files[1];
    return options;
  }

 private:
  bool Option(const std::string& name, ConvertOptions& options) {
    if (name == "--width" || name == "--height") {
      const std::optional<std::string> text = Value(name);
      if (!text) return false;
      const std::optional<std::int64_t> size = ParseInteger(*text);
      if (!size || *size < 1 || *size > INT32_MAX) {
        return Fail(name + " takes a whole number from 1 to 2147483647, not '" + *text + "'");
      }
      (name == "--width" ? options.width : options.height) = static_cast<std::int32_t>(*size);
    } else if (name == "--keep-ratio" || name == "--no-keep-ratio") {
      if (inline_value_) return Fail(name + " takes no value");
      options.keep_ratio = name == "--keep-ratio";
    } else if (name == "--mode") {
      return Choice(name,
                    {{"all", ColorMode::DrawAll},
                     {"background", ColorMode::Background},
                     {"transparent", ColorMode::Transparent}},
                    options.color_mode);
    } else if (name == "--key") {
      const std::optional<std::string> text = Value(name);
      if (!text) return false;
      const std::optional<ColorRef> color = ParseRgb(*text);
      if (!color) return Fail("--key takes a colour as RRGGBB in hexadecimal, not '" + *text + "'");
      options.key_color = *color;
    } else if (name == "--rect") {
      if (inline_value_ || next_ + 4 > arguments_.size()) return Fail("--rect takes four numbers");
      std::array<std::string, 4> edges;
      for (std::string& edge : edges) {
        edge = arguments_[next_++];
        const std::optional<std::int64_t> value = ParseInteger(edge);
        if (!value || *value < INT32_MIN || *value > INT32_MAX) {
          return Fail("--rect takes four whole numbers, not '" + edge + "'");
        }
      }
      options.rect = edges;
    } else if (name == "--script") {
      options.script = Value(name);
      if (!options.script) return false;
    } else if (name == "--rect-action") {
      return Choice(name,
                    {{"adjust", RectAction::Adjust},
                     {"delete", RectAction::Delete},
                     {"none", RectAction::None}},
                    options.rect_action);
    } else if (name == "-q" || name == "--quiet") {
      options.quiet = true;
    } else {
      return Fail("unrecognized option '" + name + "'");
    }
    return true;
  }

  // An option whose value is one of a few words.
  template <typename T>
  bool Choice(const std::string& name, std::initializer_list<std::pair<std::string_view, T>> words,
              T& target) {
    const std::optional<std::string> value = Value(name);
    if (!value) return false;
    std::string listed;
    for (std::size_t i = 0; i < words.size(); ++i) {
      const auto& [word, meaning] = words.begin()[i];
      if (word == *value) {
        target = meaning;
        return true;
      }
      if (i > 0) listed += i + 1 == words.size() ? " or " : ", ";
      listed += word;
    }
    return Fail(name + " takes " + listed + ", not '" + *value + "'");
  }

  std::optional<std::string> Value(const std::string& name) {
    if (inline_value_) return inline_value_;
    if (next_ < arguments_.size()) return arguments_[next_++];
    Fail("option '" + name + "' requires an argument");
    return std::nullopt;
  }

  bool Fail(std::string problem) {
    problem_ = std::move(problem);
    return false;
  }

  const std::vector<std::string>& arguments_;
  std::size_t next_ = 0;
  std::optional<std::string> inline_value_;
  std::string problem_;
};

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  return Parser(arguments).Parse();
}

}  // namespace rastrel::cli
