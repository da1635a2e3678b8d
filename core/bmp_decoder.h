#pragma once

#include <cstdint>
#include <span>

#include "core/bitmap.h"

namespace rastrel {

// The largest picture that opens, in pixels in all.
inline constexpr std::int64_t kMaxBitmapPixels = std::int64_t{16384} * 16384;

// Decodes a whole Windows bitmap file, its "BM" file header included, held
// in memory. Throws LoadError(messages::kCantOpenFile) for anything that is
// not a picture this program can read. Deterministic and safe on any input.
Bitmap DecodeBmp(std::span<const std::uint8_t> file);

}  // namespace rastrel
