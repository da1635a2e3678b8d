#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/byte_sink.h"
#include "core/conversion_settings.h"
#include "core/message_hook.h"

namespace rastrel {

// Writes the Ngraph script that merges the GRA file at `graPath` into the
// graph at the launch rectangle's top-left corner and then adjusts, deletes or
// keeps the rectangle (RectAction). The script goes to the path in the fifth
// process argument, fetched afresh at each call. Failures are shown through
// `messages`; a GRA path with a line break is refused and no script written.
// The script is opened with `open`, OpenFileSink when it is empty.
void WriteMergeScript(const std::string& graPath, MessageHook& messages,
                      const SinkOpener& open = {});

struct MergePlacement {
  std::int32_t top_margin = 0;
  std::int32_t left_margin = 0;
  std::int32_t width = 0;  // the drawing's size in GRA units
  std::int32_t height = 0;
  RectAction action = RectAction::Delete;
};

// The script's text, CR LF line ends included, for a GRA path without line
// breaks.
std::string MergeScriptText(std::string_view graPath, const MergePlacement& placement);

// The value of merge::file as Ngraph's script reader needs it: single quotes
// around a path with any character that the reader would split at, expand or
// drop, a backslash among them. Only on Windows, where a backslash separates
// folders, are backslashes turned into slashes.
std::string MergeFileValue(std::string_view graPath);

}  // namespace rastrel
