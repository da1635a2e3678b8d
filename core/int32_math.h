#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace rastrel {

// Sizes and coordinates are 32-bit; sums and products of them are formed in
// 64 bits and brought back into range here, so that no input is undefined.
constexpr std::int32_t ClampToInt32(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace rastrel
