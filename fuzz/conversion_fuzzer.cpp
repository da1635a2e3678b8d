// A whole save of a small fuzzed picture with fuzzed settings, as the main
// window makes it: the drawing size derived at Open and perhaps changed in
// the options dialog, then the GRA text and, in launched use, the merge
// script, both into memory. Both are checked against their formats, and the
// GRA text also against the plain writer and against the picture it draws.
#include <fuzzer/FuzzedDataProvider.h>

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bench/plain_gra_writer.h"
#include "core/bitmap.h"
#include "core/byte_sink.h"
#include "core/conversion_settings.h"
#include "core/gra_writer.h"
#include "core/int32_math.h"
#include "core/merge_script_writer.h"
#include "core/message_hook.h"
#include "core/progress_indicator.h"
#include "fuzz/fuzz_check.h"

namespace {

using rastrel::ColorRef;

class MemorySink final : public rastrel::ByteSink {
 public:
  bool Write(const char* data, std::size_t size) override {
    FUZZ_CHECK(!closed);
    bytes.append(data, size);
    return true;
  }
  bool Close() override {
    FUZZ_CHECK(!closed);
    closed = true;
    return true;
  }
  std::string bytes;
  bool closed = false;
};

// Every byte arrives, so there is nothing to tell the user.
class NoMessages final : public rastrel::MessageHook {
 public:
  void ShowMessage(std::string_view, std::string_view) override { FUZZ_CHECK(!"a message"); }
};

std::string PlainGra(const rastrel::Bitmap& picture, const rastrel::GraFormat& format) {
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* memory = open_memstream(&text, &size);
  FUZZ_CHECK(memory);
  rastrel::WritePlainGra(memory, picture, format);
  std::fclose(memory);
  std::string result(text, size);
  std::free(text);
  return result;
}

// The lines of a text in which every line ends with CR LF, and no CR or LF
// stands anywhere else.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find("\r\n");
    FUZZ_CHECK(end != std::string_view::npos);
    const std::string_view line = text.substr(0, end);
    FUZZ_CHECK(line.find_first_of("\r\n") == std::string_view::npos);
    lines.push_back(line);
    text.remove_prefix(end + 2);
  }
  return lines;
}

// The numbers of "prefix,n,n,...,n", each written as to_chars writes it.
std::optional<std::vector<std::int64_t>> Numbers(std::string_view line, std::string_view prefix,
                                                 std::size_t count) {
  if (!line.starts_with(prefix)) return std::nullopt;
  line.remove_prefix(prefix.size());
  std::vector<std::int64_t> numbers;
  for (std::size_t k = 0; k < count; ++k) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
    FUZZ_CHECK(error == std::errc());
    FUZZ_CHECK(std::to_string(value) == std::string_view(line.data(), end));
    numbers.push_back(value);
    line.remove_prefix(end - line.data());
    if (k + 1 < count) {
      FUZZ_CHECK(line.starts_with(","));
      line.remove_prefix(1);
    }
  }
  FUZZ_CHECK(line.empty());
  return numbers;
}

struct Rect {
  std::int64_t x1, y1, x2, y2;
  ColorRef color;
};

std::optional<ColorRef> ColorLine(std::string_view line) {
  const auto rgb = Numbers(line, "G,3,", 3);
  if (!rgb) return std::nullopt;
  for (std::int64_t component : *rgb) FUZZ_CHECK(component >= 0 && component <= 255);
  return rastrel::MakeColorRef((*rgb)[0], (*rgb)[1], (*rgb)[2]);
}

std::optional<Rect> RectLine(std::string_view line, ColorRef color) {
  const auto n = Numbers(line, "B,5,", 5);
  if (!n) return std::nullopt;
  FUZZ_CHECK((*n)[4] == 1);
  return Rect{(*n)[0], (*n)[1], (*n)[2], (*n)[3], color};
}

// Paints the rectangles back onto the picture's cells: each pixel that is
// drawn is covered once, by its colour, a left-out key pixel not at all, and
// two rectangles side by side in a row differ in colour.
void CheckPaintsThePicture(const std::vector<Rect>& rects, const rastrel::Bitmap& picture,
                           const rastrel::GraFormat& f) {
  const std::int32_t w = picture.Width(), h = picture.Height();
  const std::int64_t cw = f.width / w, ch = f.height / h;
  if (cw <= 0 || ch <= 0) return;  // cells without area: nothing to tell apart
  std::vector<int> covered(static_cast<std::size_t>(w) * h, 0);
  const Rect* previous = nullptr;
  for (const Rect& r : rects) {
    FUZZ_CHECK(r.x1 % cw == 0 && r.x2 % cw == 0 && r.y1 % ch == 0 && r.y2 == r.y1 + ch);
    const std::int64_t x1 = r.x1 / cw, x2 = r.x2 / cw, y = r.y1 / ch;
    FUZZ_CHECK(0 <= x1 && x1 < x2 && x2 <= w && 0 <= y && y < h);
    for (std::int64_t x = x1; x < x2; ++x) {
      FUZZ_CHECK(picture.Pixel(x, y) == r.color);
      ++covered[y * w + x];
    }
    if (previous && previous->y1 == r.y1 && previous->x2 == r.x1) {
      FUZZ_CHECK(previous->color != r.color);
    }
    previous = &r;
  }
  const bool skip_key = f.color_mode != rastrel::ColorMode::DrawAll;
  for (std::int32_t y = 0; y < h; ++y) {
    for (std::int32_t x = 0; x < w; ++x) {
      const bool drawn = !skip_key || picture.Pixel(x, y) != f.key_color;
      FUZZ_CHECK(covered[y * w + x] == (drawn ? 1 : 0));
    }
  }
}

void CheckGra(const std::string& gra, const rastrel::Bitmap& picture, const rastrel::GraFormat& f) {
  const std::vector<std::string_view> lines = Lines(gra);
  FUZZ_CHECK(lines.size() >= 6);
  const std::string size = std::to_string(f.width) + "," + std::to_string(f.height);
  FUZZ_CHECK(lines[0] == "%Ngraph GRAF");
  FUZZ_CHECK(lines[1].starts_with("%Creator: "));
  FUZZ_CHECK(lines[2] == "I,5,0,0," + size + ",10000");
  FUZZ_CHECK(lines[3] == "V,5,0,0," + size + ",1");
  FUZZ_CHECK(lines[4] == "A,5,0,40,0,0,1000");
  FUZZ_CHECK(lines.back() == "E,0");

  std::size_t i = 5;
  std::optional<ColorRef> current;
  if (f.color_mode == rastrel::ColorMode::Background) {
    FUZZ_CHECK(lines.size() >= 8);
    FUZZ_CHECK(ColorLine(lines[5]) == f.key_color);
    FUZZ_CHECK(lines[6] == "B,5,0,0," + size + ",1");
    current = f.key_color;
    i = 7;
  }
  const bool inside = f.width >= 0 && f.height >= 0;
  std::vector<Rect> rects;
  for (; i + 1 < lines.size(); ++i) {
    if (const auto color = ColorLine(lines[i])) {
      FUZZ_CHECK(current != color);  // only where the colour changes
      FUZZ_CHECK(i + 2 < lines.size() && lines[i + 1].starts_with("B,"));  // and for a rectangle
      current = color;
      continue;
    }
    FUZZ_CHECK(current);  // a rectangle has a colour
    const auto rect = RectLine(lines[i], *current);
    FUZZ_CHECK(rect);
    if (inside) {
      FUZZ_CHECK(0 <= rect->x1 && rect->x1 <= rect->x2 && rect->x2 <= f.width);
      FUZZ_CHECK(0 <= rect->y1 && rect->y1 <= rect->y2 && rect->y2 <= f.height);
    }
    rects.push_back(*rect);
  }
  CheckPaintsThePicture(rects, picture, f);
}

// Reads merge::file's value back as Ngraph's reader would: single-quoted
// parts kept whole, \' a quote, and nothing outside quotes that the reader
// would split at or expand.
std::string Unquote(std::string_view value) {
  std::string path;
  for (std::size_t i = 0; i < value.size();) {
    if (value[i] == '\'') {
      const std::size_t close = value.find('\'', i + 1);
      FUZZ_CHECK(close != std::string_view::npos);
      path += value.substr(i + 1, close - i - 1);
      i = close + 1;
    } else if (value[i] == '\\') {
      FUZZ_CHECK(i + 1 < value.size() && value[i + 1] == '\'');
      path += '\'';
      i += 2;
    } else {
      FUZZ_CHECK(std::string_view(" \t\"$`;#&|<>(){}*?[]~").find(value[i]) ==
                 std::string_view::npos);
      path += value[i++];
    }
  }
  return path;
}

void CheckMergeScript(const std::string& script, const std::string& path,
                      const rastrel::MergePlacement& p) {
  const std::vector<std::string_view> lines = Lines(script);
  const std::vector<std::string> header = {
      "new merge",
      "merge::hidden=false",
      "merge::R=0",
      "merge::G=0",
      "merge::B=0",
      "merge::clip=true",
      "merge::redraw_flag=true",
      "merge::save_path=unchange",
      "merge::symbol_greek=true",
      "merge::top_margin=" + std::to_string(p.top_margin),
      "merge::left_margin=" + std::to_string(p.left_margin),
      "merge::zoom=10000",
  };
  FUZZ_CHECK(lines.size() >= header.size() + 1);
  for (std::size_t k = 0; k < header.size(); ++k) FUZZ_CHECK(lines[k] == header[k]);
  FUZZ_CHECK(lines[12].starts_with("merge::file="));
  FUZZ_CHECK(Unquote(lines[12].substr(12)) == path);

  const auto sum = [](std::int32_t a, std::int32_t b) {
    return std::to_string(rastrel::ClampToInt32(std::int64_t{a} + b));
  };
  std::vector<std::string> tail;
  switch (p.action) {
    case rastrel::RectAction::Adjust:
      tail = {"rectangle:!:y1=" + std::to_string(p.top_margin),
              "rectangle:!:x1=" + std::to_string(p.left_margin),
              "rectangle:!:y2=" + sum(p.top_margin, p.height),
              "rectangle:!:x2=" + sum(p.left_margin, p.width)};
      break;
    case rastrel::RectAction::Delete:
      tail = {"del rectangle:!"};
      break;
    default:
      break;
  }
  FUZZ_CHECK(lines.size() == 13 + tail.size());
  for (std::size_t k = 0; k < tail.size(); ++k) FUZZ_CHECK(lines[13 + k] == tail[k]);
}

// Mostly sizes a user would type, sometimes anything at all.
std::int32_t Size(FuzzedDataProvider& in) {
  return in.ConsumeBool() ? in.ConsumeIntegralInRange<std::int32_t>(-100, 20000)
                          : in.ConsumeIntegral<std::int32_t>();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const auto width = in.ConsumeIntegralInRange<std::int32_t>(1, 16);
  const auto height = in.ConsumeIntegralInRange<std::int32_t>(1, 16);
  // Few colours, so that runs and repeated colours are common.
  std::vector<ColorRef> palette(in.ConsumeIntegralInRange<std::size_t>(1, 4));
  for (ColorRef& color : palette) color = in.ConsumeIntegral<std::uint32_t>() & 0xFFFFFF;
  auto picture = std::make_unique<rastrel::Bitmap>(width, height);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      picture->SetPixel(x, y,
                        palette[in.ConsumeIntegralInRange<std::size_t>(0, palette.size() - 1)]);
    }
  }

  rastrel::ResetConversionSettings();
  rastrel::Settings& s = rastrel::ConversionSettings;
  s.LaunchedWithRect = in.ConsumeBool();
  if (s.LaunchedWithRect) {
    s.LeftMargin = Size(in);
    s.TopMargin = Size(in);
    s.RectWidth = Size(in);
    s.RectHeight = Size(in);
  }
  rastrel::DeriveGraSize(width, height);  // as Open does
  if (in.ConsumeBool()) {                 // then the options dialog
    s.GraWidth = Size(in);
    s.GraHeight = Size(in);
  }
  s.KeyColor = in.ConsumeBool()
                   ? palette[in.ConsumeIntegralInRange<std::size_t>(0, palette.size() - 1)]
                   : in.ConsumeIntegral<std::uint32_t>() & 0xFFFFFF;
  s.ColorMode = static_cast<rastrel::ColorMode>(in.ConsumeIntegralInRange(0, 2));
  s.RectAction = static_cast<rastrel::RectAction>(in.ConsumeIntegralInRange(-1, 3));
  // A path cannot hold NUL, and one with a line break gets no script.
  std::string path = in.ConsumeRandomLengthString(64);
  std::erase_if(path, [](char c) { return c == '\0' || c == '\r' || c == '\n'; });
  s.SourceBitmap = std::move(picture);

  // What WriteGraFile and WriteMergeScript take from the settings.
  const rastrel::GraFormat format{.width = s.GraWidth,
                                  .height = s.GraHeight,
                                  .key_color = s.KeyColor,
                                  .color_mode = s.ColorMode};
  MemorySink sink;
  rastrel::NoProgress progress;
  NoMessages messages;
  FUZZ_CHECK(rastrel::WriteGraStream(sink, *s.SourceBitmap, format, progress, messages, path));
  FUZZ_CHECK(sink.closed);
  FUZZ_CHECK(sink.bytes == PlainGra(*s.SourceBitmap, format));
  CheckGra(sink.bytes, *s.SourceBitmap, format);

  if (s.LaunchedWithRect) {
    const rastrel::MergePlacement placement{.top_margin = s.TopMargin,
                                            .left_margin = s.LeftMargin,
                                            .width = s.GraWidth,
                                            .height = s.GraHeight,
                                            .action = s.RectAction};
    CheckMergeScript(rastrel::MergeScriptText(path, placement), path, placement);
  }
  return 0;
}
