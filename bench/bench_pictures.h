#pragma once

#include <cstdint>
#include <vector>

#include "core/bitmap.h"

namespace rastrel::bench {

// Every pixel differs from its neighbours: each one is a run of its own and
// needs a colour line, the largest GRA file a picture can give.
Bitmap WorstCasePicture(std::int32_t width, std::int32_t height);
// Smooth shading with grain, in few levels: short runs, many colours.
Bitmap PhotoLikePicture(std::int32_t width, std::int32_t height);
// A chart: white ground, grid, axes, bars and a curve in a handful of colours.
Bitmap DiagramPicture(std::int32_t width, std::int32_t height);

// The picture as a 24-bit bottom-up BMP file.
std::vector<std::uint8_t> EncodeBmp24(const Bitmap& picture);

}  // namespace rastrel::bench
