#include "core/conversion_settings.h"

#include "core/int32_math.h"
#include "core/load_error.h"
#include "core/messages.h"

namespace rastrel {

Settings ConversionSettings;

void ResetConversionSettings() { ConversionSettings = Settings{}; }

void DeriveGraSize(std::int32_t pixelWidth, std::int32_t pixelHeight) {
  Settings& s = ConversionSettings;
  if (s.LaunchedWithRect) {
    if (pixelWidth == 0) throw LoadError(messages::kCantOpenFile);
    s.GraWidth = s.RectWidth;
    s.GraHeight = ClampToInt32(std::int64_t{pixelHeight} * s.GraWidth / pixelWidth);
  } else {
    s.GraWidth = ClampToInt32(std::int64_t{pixelWidth} * 50);
    s.GraHeight = ClampToInt32(std::int64_t{pixelHeight} * 50);
  }
}

}  // namespace rastrel
