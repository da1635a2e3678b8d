#pragma once

#include <cstdint>

namespace rastrel {

// A colour as 0x00BBGGRR: red in bits 0-7, green in 8-15, blue in 16-23.
// Colours are compared as whole 32-bit values.
using ColorRef = std::uint32_t;

constexpr ColorRef MakeColorRef(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return ColorRef{red} | ColorRef{green} << 8 | ColorRef{blue} << 16;
}
constexpr std::uint8_t RedOf(ColorRef color) { return color & 0xFF; }
constexpr std::uint8_t GreenOf(ColorRef color) { return (color >> 8) & 0xFF; }
constexpr std::uint8_t BlueOf(ColorRef color) { return (color >> 16) & 0xFF; }

}  // namespace rastrel
