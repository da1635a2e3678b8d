#include "core/bitmap.h"

namespace rastrel {

Bitmap::Bitmap(std::int32_t width, std::int32_t height, ColorRef fill)
    : width_(width),
      height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

}  // namespace rastrel
