#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/color_ref.h"

namespace rastrel::testing {

// Info header sizes, one per header kind.
inline constexpr std::uint32_t kCoreHeader = 12;  // OS/2 1.x: 16-bit sizes, 3-byte palette entries
inline constexpr std::uint32_t kOs2Header = 64;   // OS/2 2.x; writers may cut it to 16..64 bytes
inline constexpr std::uint32_t kInfoHeader = 40;  // bit field masks follow it
inline constexpr std::uint32_t kV2Header = 52;    // red, green and blue masks inside
inline constexpr std::uint32_t kV3Header = 56;    // and the alpha mask
inline constexpr std::uint32_t kV4Header = 108;
inline constexpr std::uint32_t kV5Header = 124;

// Compression codes.
inline constexpr std::uint32_t kBiRgb = 0;
inline constexpr std::uint32_t kBiRle8 = 1;
inline constexpr std::uint32_t kBiRle4 = 2;
inline constexpr std::uint32_t kBiBitFields = 3;
inline constexpr std::uint32_t kBiJpeg = 4;
inline constexpr std::uint32_t kBiPng = 5;
inline constexpr std::uint32_t kBiAlphaBitFields = 6;

// Where fields sit in the file, for changing one after Bytes(). The info
// header's fields are those of the 40-byte layout.
inline constexpr std::size_t kOffBitsAt = 10;
inline constexpr std::size_t kInfoAt = 14;
inline constexpr std::size_t kWidthAt = 18;
inline constexpr std::size_t kHeightAt = 22;
inline constexpr std::size_t kBitCountAt = 28;
inline constexpr std::size_t kCompressionAt = 30;
inline constexpr std::size_t kColorsUsedAt = 46;

inline void PutLe16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
  if (bytes.size() < at + 2) bytes.resize(at + 2);
  bytes[at] = value & 0xFF;
  bytes[at + 1] = value >> 8;
}

inline void PutLe32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  PutLe16(bytes, at, value & 0xFFFF);
  PutLe16(bytes, at + 2, value >> 16);
}

// A bitmap file described field by field, laid out by Bytes() as a writer
// would. Fill in what a test is about, for example
//   BmpFile{.width = 2, .bit_count = 8, .palette = {kRed}, .pixels = Rows({{0, 0}})}.Bytes()
// and change or cut the result for anything the fields cannot express.
struct BmpFile {
  std::uint32_t header_size = kInfoHeader;
  std::int32_t width = 1;   // 16 bits in a core header
  std::int32_t height = 1;  // negative: top-down
  std::uint16_t bit_count = 24;
  std::uint32_t compression = kBiRgb;
  std::uint32_t colors_used = 0;
  // Inside the header when it has room for them (52 bytes and up), else right
  // after it.
  std::vector<std::uint32_t> masks{};
  // Entries of 3 bytes after a core header, 4 after any other.
  std::vector<ColorRef> palette{};
  std::vector<std::uint8_t> pixels{};       // exactly as stored
  std::optional<std::uint32_t> off_bits{};  // default: where the pixels start

  std::vector<std::uint8_t> Bytes() const {
    std::vector<std::uint8_t> info;
    if (header_size == kCoreHeader) {
      PutLe32(info, 0, header_size);
      PutLe16(info, 4, static_cast<std::uint16_t>(width));
      PutLe16(info, 6, static_cast<std::uint16_t>(height));
      PutLe16(info, 8, 1);
      PutLe16(info, 10, bit_count);
    } else {
      PutLe32(info, 0, header_size);
      PutLe32(info, 4, static_cast<std::uint32_t>(width));
      PutLe32(info, 8, static_cast<std::uint32_t>(height));
      PutLe16(info, 12, 1);
      PutLe16(info, 14, bit_count);
      PutLe32(info, 16, compression);
      PutLe32(info, 20, static_cast<std::uint32_t>(pixels.size()));
      PutLe32(info, 24, 2835);  // 72 dpi
      PutLe32(info, 28, 2835);
      PutLe32(info, 32, colors_used);
      PutLe32(info, 36, 0);
    }
    const bool masks_inside = header_size >= kV2Header;
    if (masks_inside) {
      for (std::size_t i = 0; i < masks.size() && 40 + 4 * i + 4 <= header_size; ++i) {
        PutLe32(info, 40 + 4 * i, masks[i]);
      }
    }
    info.resize(std::max<std::size_t>(header_size, 4));  // the size field stays
    if (!masks_inside) {
      for (std::uint32_t mask : masks) PutLe32(info, info.size(), mask);
    }
    for (ColorRef color : palette) {
      info.push_back(BlueOf(color));
      info.push_back(GreenOf(color));
      info.push_back(RedOf(color));
      if (header_size != kCoreHeader) info.push_back(0);
    }

    std::vector<std::uint8_t> file = {'B', 'M'};
    const std::size_t headers_size = 14 + info.size();
    PutLe32(file, 2, static_cast<std::uint32_t>(headers_size + pixels.size()));
    PutLe32(file, 6, 0);
    PutLe32(file, kOffBitsAt, off_bits.value_or(static_cast<std::uint32_t>(headers_size)));
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
  }
};

// Stored rows, each padded with zeros to a multiple of 4 bytes.
inline std::vector<std::uint8_t> Rows(const std::vector<std::vector<std::uint8_t>>& rows) {
  std::vector<std::uint8_t> bytes;
  for (const auto& row : rows) {
    bytes.insert(bytes.end(), row.begin(), row.end());
    bytes.resize((bytes.size() + 3) / 4 * 4);
  }
  return bytes;
}

// One row of 24-bit pixels.
inline std::vector<std::uint8_t> Bgr(const std::vector<ColorRef>& pixels) {
  std::vector<std::uint8_t> bytes;
  for (ColorRef color : pixels) {
    bytes.insert(bytes.end(), {BlueOf(color), GreenOf(color), RedOf(color)});
  }
  return bytes;
}

// One row of 16- or 32-bit pixels.
inline std::vector<std::uint8_t> Le16(const std::vector<std::uint16_t>& pixels) {
  std::vector<std::uint8_t> bytes;
  for (std::uint16_t pixel : pixels) PutLe16(bytes, bytes.size(), pixel);
  return bytes;
}

inline std::vector<std::uint8_t> Le32(const std::vector<std::uint32_t>& pixels) {
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t pixel : pixels) PutLe32(bytes, bytes.size(), pixel);
  return bytes;
}

}  // namespace rastrel::testing
