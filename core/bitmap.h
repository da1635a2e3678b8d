#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/color_ref.h"

namespace rastrel {

// A decoded picture: width x height pixels, rows stored from the top.
// A default-constructed bitmap is empty, as the main window's bitmap is
// until a file has been loaded into it.
class Bitmap {
 public:
  Bitmap() = default;
  // Both sizes must be at least 1; every pixel starts as `fill`.
  Bitmap(std::int32_t width, std::int32_t height, ColorRef fill = 0);

  bool Empty() const { return pixels_.empty(); }
  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }

  ColorRef Pixel(std::int32_t x, std::int32_t y) const { return Row(y)[x]; }
  void SetPixel(std::int32_t x, std::int32_t y, ColorRef color) { Row(y)[x] = color; }

  const ColorRef* Row(std::int32_t y) const { return pixels_.data() + Offset(y); }
  ColorRef* Row(std::int32_t y) { return pixels_.data() + Offset(y); }

 private:
  std::size_t Offset(std::int32_t y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
  }

  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::vector<ColorRef> pixels_;
};

}  // namespace rastrel
