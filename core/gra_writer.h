#pragma once

#include <cstdint>
#include <string>

#include "core/bitmap.h"
#include "core/byte_sink.h"
#include "core/color_ref.h"
#include "core/conversion_settings.h"
#include "core/message_hook.h"
#include "core/progress_indicator.h"

namespace rastrel {

// What a GRA file is made of besides the picture.
struct GraFormat {
  std::int32_t width = 10000;  // drawing size in GRA units
  std::int32_t height = 10000;
  ColorRef key_color = 0xFFFFFF;
  ColorMode color_mode = ColorMode::Transparent;
};

// Saves SourceBitmap as a GRA file at `path`, sized and coloured by
// ConversionSettings, stepping `progress` once a row. Failures are shown
// through `messages`. In launched use the merge script follows. The files
// are opened with `open`, OpenFileSink when it is empty.
void WriteGraFile(const std::string& path, ProgressIndicator& progress, MessageHook& messages,
                  const SinkOpener& open = {});

// The part of WriteGraFile after the file has been opened: writes the whole
// drawing into `out`, closes it and sets the progress position to 0. Shows
// "Write error!!" once if any byte failed to arrive; `path` names the file in
// that message. Returns whether everything was written.
bool WriteGraStream(ByteSink& out, const Bitmap& picture, const GraFormat& format,
                    ProgressIndicator& progress, MessageHook& messages, const std::string& path);

}  // namespace rastrel
