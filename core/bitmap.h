#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "core/color_ref.h"

namespace rastrel {

// Leaves new elements uninitialised, so that a picture that is about to be
// written whole is not cleared first: for a large one that pass costs more
// than decoding it.
template <typename T>
struct DefaultInitAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };
  DefaultInitAllocator() = default;
  template <typename U>
  DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}

  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

// A decoded picture: width x height pixels, rows stored from the top.
// A default-constructed bitmap is empty, as the main window's bitmap is
// until a file has been loaded into it.
class Bitmap {
 public:
  Bitmap() = default;
  // Both sizes must be at least 1; every pixel starts as `fill`.
  Bitmap(std::int32_t width, std::int32_t height, ColorRef fill = 0);
  // A picture whose every pixel the caller writes before anything reads it.
  static Bitmap ForOverwrite(std::int32_t width, std::int32_t height);

  bool Empty() const { return pixels_.empty(); }
  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }

  ColorRef Pixel(std::int32_t x, std::int32_t y) const { return Row(y)[x]; }
  void SetPixel(std::int32_t x, std::int32_t y, ColorRef color) { Row(y)[x] = color; }

  const ColorRef* Row(std::int32_t y) const { return pixels_.data() + Offset(y); }
  ColorRef* Row(std::int32_t y) { return pixels_.data() + Offset(y); }

 private:
  struct Uninitialised {};
  Bitmap(std::int32_t width, std::int32_t height, Uninitialised);

  static std::size_t Area(std::int32_t width, std::int32_t height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  }
  std::size_t Offset(std::int32_t y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
  }

  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::vector<ColorRef, DefaultInitAllocator<ColorRef>> pixels_;
};

}  // namespace rastrel
