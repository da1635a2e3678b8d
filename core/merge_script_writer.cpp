#include "core/merge_script_writer.h"

#include <algorithm>
#include <memory>

#include "core/byte_sink.h"
#include "core/int32_math.h"
#include "core/launch_arguments.h"
#include "core/messages.h"

namespace rastrel {
namespace {

// Characters that Ngraph's script reader takes literally in a word.
bool IsPlainWordCharacter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c >= 0x80 ||
         std::string_view("/._-:+,@%=").find(static_cast<char>(c)) != std::string_view::npos;
}

std::string Line(std::string_view key, std::int64_t value) {
  return std::string(key) + std::to_string(ClampToInt32(value)) + "\r\n";
}

}  // namespace

std::string MergeFileValue(std::string_view graPath) {
  std::string path(graPath);
#ifdef _WIN32
  // A folder separator there, and Ngraph takes a slash for it. Elsewhere a
  // backslash is a byte of the name: it is kept, and quoted below, since the
  // reader takes it as an escape outside quotes.
  std::replace(path.begin(), path.end(), '\\', '/');
#endif
  if (std::all_of(path.begin(), path.end(), IsPlainWordCharacter)) return path;
  // Inside single quotes every byte is kept; a quote itself closes the quoted
  // part, is escaped, and opens a new one. Ngraph saves the field the same way.
  std::string quoted = "'";
  for (char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string MergeScriptText(std::string_view graPath, const MergePlacement& placement) {
  std::string text =
      "new merge\r\n"
      "merge::hidden=false\r\n"
      "merge::R=0\r\n"
      "merge::G=0\r\n"
      "merge::B=0\r\n"
      "merge::clip=true\r\n"
      "merge::redraw_flag=true\r\n"
      "merge::save_path=unchange\r\n"
      "merge::symbol_greek=true\r\n";
  text += Line("merge::top_margin=", placement.top_margin);
  text += Line("merge::left_margin=", placement.left_margin);
  text += "merge::zoom=10000\r\n";
  text += "merge::file=" + MergeFileValue(graPath) + "\r\n";
  switch (placement.action) {
    case RectAction::Adjust:
      text += Line("rectangle:!:y1=", placement.top_margin);
      text += Line("rectangle:!:x1=", placement.left_margin);
      text += Line("rectangle:!:y2=", std::int64_t{placement.top_margin} + placement.height);
      text += Line("rectangle:!:x2=", std::int64_t{placement.left_margin} + placement.width);
      break;
    case RectAction::Delete:
      text += "del rectangle:!\r\n";
      break;
    default:  // None, and any index the options dialog may leave
      break;
  }
  return text;
}

void WriteMergeScript(const std::string& graPath, MessageHook& messages, const SinkOpener& open) {
  // A line break would end the merge::file line and start a command of its own.
  if (graPath.find_first_of("\r\n") != std::string::npos) {
    messages.ShowMessage(messages::kLineBreakInGraPath, graPath);
    return;
  }
  const Settings& s = ConversionSettings;
  const std::string text = MergeScriptText(graPath, MergePlacement{.top_margin = s.TopMargin,
                                                                   .left_margin = s.LeftMargin,
                                                                   .width = s.GraWidth,
                                                                   .height = s.GraHeight,
                                                                   .action = s.RectAction});
  const std::string scriptPath = ProcessArgument(5);
  std::unique_ptr<ByteSink> file = open ? open(scriptPath) : OpenFileSink(scriptPath);
  if (!file) {
    messages.ShowMessage(messages::kCantOpenScriptFile, scriptPath);
    return;
  }
  const bool written = file->Write(text.data(), text.size());
  const bool closed = file->Close();
  if (!written || !closed) messages.ShowMessage(messages::kWriteError, scriptPath);
}

}  // namespace rastrel
