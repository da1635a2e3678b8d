#include "core/bitmap.h"

namespace rastrel {

Bitmap::Bitmap(std::int32_t width, std::int32_t height, ColorRef fill)
    : width_(width), height_(height), pixels_(Area(width, height), fill) {}

Bitmap::Bitmap(std::int32_t width, std::int32_t height, Uninitialised)
    : width_(width), height_(height), pixels_(Area(width, height)) {}

Bitmap Bitmap::ForOverwrite(std::int32_t width, std::int32_t height) {
  return Bitmap(width, height, Uninitialised{});
}

}  // namespace rastrel
