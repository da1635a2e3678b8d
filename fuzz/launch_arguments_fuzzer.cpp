// The launch arguments as Ngraph or a user may give them: zero to seven
// strings, separated by NUL bytes in the input (a process argument cannot
// hold one). Five make launched use with a rectangle; any other count
// changes nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/conversion_settings.h"
#include "core/int32_math.h"
#include "core/launch_arguments.h"
#include "fuzz/fuzz_check.h"

namespace {

// An edge as the C library reads it, out-of-range values clamped to 32 bits;
// 0 when the argument does not begin with a number.
std::int32_t EdgeByStrtoll(const std::string& argument) {
  const long long value = std::strtoll(argument.c_str(), nullptr, 10);
  return rastrel::ClampToInt32(value);  // LLONG_MIN and LLONG_MAX on overflow clamp alike
}

void CheckEdges(std::int32_t a, std::int32_t b, std::int32_t margin, std::int32_t length) {
  FUZZ_CHECK(margin == (a < b ? a : b));
  FUZZ_CHECK(length >= 0);
  FUZZ_CHECK(length == rastrel::ClampToInt32(std::int64_t{a < b ? b : a} - (a < b ? a : b)));
}

void CheckDefaults(const rastrel::Settings& s) {
  const rastrel::Settings defaults;
  FUZZ_CHECK(!s.LaunchedWithRect);
  FUZZ_CHECK(s.RectWidth == defaults.RectWidth && s.RectHeight == defaults.RectHeight);
  FUZZ_CHECK(s.LeftMargin == defaults.LeftMargin && s.TopMargin == defaults.TopMargin);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> arguments;
  if (size > 0) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (std::size_t start = 0; arguments.size() < 7;) {
      const std::size_t end = text.find('\0', start);
      arguments.push_back(text.substr(start, end - start));
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }

  rastrel::ResetConversionSettings();
  rastrel::ReadLaunchArguments(arguments);
  const rastrel::Settings& s = rastrel::ConversionSettings;
  if (arguments.size() == 5) {
    FUZZ_CHECK(s.LaunchedWithRect);
    std::int32_t edge[4];
    for (int i = 0; i < 4; ++i) edge[i] = EdgeByStrtoll(arguments[i]);
    CheckEdges(edge[0], edge[1], s.LeftMargin, s.RectWidth);
    CheckEdges(edge[2], edge[3], s.TopMargin, s.RectHeight);
  } else {
    CheckDefaults(s);
  }
  // Nothing else is touched.
  const rastrel::Settings defaults;
  FUZZ_CHECK(s.GraWidth == defaults.GraWidth && s.GraHeight == defaults.GraHeight);
  FUZZ_CHECK(s.KeyColor == defaults.KeyColor && s.SourceBitmap == nullptr);
  return 0;
}
