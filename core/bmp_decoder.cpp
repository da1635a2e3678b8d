#include "core/bmp_decoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/load_error.h"
#include "core/messages.h"

namespace rastrel {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kOffBitsAt = 10;

constexpr std::uint32_t kCoreHeaderSize = 12;  // OS/2 1.x
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kMasksInHeaderAt = 40;  // in the 52-, 56-, 108- and 124-byte headers

// The compression codes that are read; any other is refused. Among those are
// 4 and 5, JPEG and PNG data, which are Huffman 1D and RLE24 in an OS/2 2.x
// header, where 3 does not mean bit fields either.
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;

using Palette = std::array<ColorRef, 256>;

[[noreturn]] void Refuse() { throw LoadError(messages::kCantOpenFile); }

std::uint16_t ReadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t ReadU32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

bool IsWindowsHeaderSize(std::uint32_t size) {
  return size == kInfoHeaderSize || size == 52 || size == 56 || size == 108 || size == 124;
}

// What the headers say, with every size widened to 64 bits so that no
// combination of field values can overflow.
struct Header {
  std::int64_t width = 0;
  std::int64_t height = 0;  // negative: rows are stored from the top
  std::uint32_t bit_count = 0;
  std::uint32_t compression = kRgb;
  std::uint64_t colors_used = 0;
  std::uint64_t palette_entry_size = 4;
  std::uint64_t end = 0;                 // offset just past the headers and any masks after them
  std::array<std::uint32_t, 3> masks{};  // red, green, blue
};

bool IsKnownBitCount(std::uint32_t bits) {
  return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool IsContiguous(std::uint32_t mask) {
  if (mask == 0) return true;
  const std::uint64_t run = mask >> std::countr_zero(mask);
  return (run & (run + 1)) == 0;
}

Header ReadHeader(std::span<const std::uint8_t> file) {
  if (file.size() < kFileHeaderSize + 4 || file[0] != 'B' || file[1] != 'M') Refuse();
  const std::uint8_t* info = file.data() + kFileHeaderSize;
  const std::uint32_t size = ReadU32(info);
  const bool core = size == kCoreHeaderSize;
  const bool windows = IsWindowsHeaderSize(size);
  // OS/2 2.x writers may cut their 64-byte header anywhere after the bit
  // count; the fields it no longer covers take their zero defaults.
  const bool os2 = !windows && size >= 16 && size <= 64;
  if (!core && !windows && !os2) Refuse();
  if (file.size() - kFileHeaderSize < size) Refuse();

  Header h;
  h.end = kFileHeaderSize + size;
  if (core) {
    h.width = ReadU16(info + 4);
    h.height = ReadU16(info + 6);
    h.bit_count = ReadU16(info + 10);
    h.palette_entry_size = 3;
  } else {
    h.width = static_cast<std::int32_t>(ReadU32(info + 4));
    h.height = static_cast<std::int32_t>(ReadU32(info + 8));
    h.bit_count = ReadU16(info + 14);
    if (size >= 20) h.compression = ReadU32(info + 16);
    if (size >= 36) h.colors_used = ReadU32(info + 32);
  }

  const bool bit_fields =
      windows && (h.compression == kBitFields || h.compression == kAlphaBitFields);
  const bool known = (h.compression == kRgb && IsKnownBitCount(h.bit_count)) ||
                     (h.compression == kRle8 && h.bit_count == 8) ||
                     (h.compression == kRle4 && h.bit_count == 4) ||
                     (bit_fields && (h.bit_count == 16 || h.bit_count == 32));
  if (!known) Refuse();

  if (bit_fields) {
    const std::uint8_t* masks = info + kMasksInHeaderAt;
    if (size == kInfoHeaderSize) {
      // The masks follow the header, with the (ignored) alpha mask last.
      const std::uint64_t count = h.compression == kAlphaBitFields ? 4 : 3;
      if (file.size() - h.end < count * 4) Refuse();
      masks = file.data() + h.end;
      h.end += count * 4;
    }
    for (std::size_t i = 0; i < 3; ++i) h.masks[i] = ReadU32(masks + 4 * i);
  } else if (h.bit_count == 16) {
    h.masks = {0x7C00, 0x03E0, 0x001F};
  } else {
    h.masks = {0xFF0000, 0x00FF00, 0x0000FF};
  }
  // Alpha is ignored, so only the colour masks need to make sense.
  for (std::uint32_t mask : h.masks) {
    if (!IsContiguous(mask)) Refuse();
  }
  return h;
}

// Maps one channel of a pixel to 0..255 so that the largest value its mask
// holds becomes 255, rounding to nearest. Masks up to 16 bits wide are
// looked up in a table built once; wider ones, which are rare, are computed.
class ChannelScale {
 public:
  explicit ChannelScale(std::uint32_t mask)
      : mask_(mask), shift_(mask == 0 ? 0 : std::countr_zero(mask)), max_(mask >> shift_) {
    if (max_ <= 0xFFFF) {
      table_.resize(max_ + 1);
      for (std::uint32_t value = 0; value <= max_; ++value) table_[value] = Scale(value);
    }
  }

  std::uint8_t operator()(std::uint32_t pixel) const {
    const std::uint32_t value = (pixel & mask_) >> shift_;
    return table_.empty() ? Scale(value) : table_[value];
  }

 private:
  std::uint8_t Scale(std::uint64_t value) const {
    if (max_ == 0) return 0;  // an empty mask: the channel is absent
    return static_cast<std::uint8_t>((value * 255 + max_ / 2) / max_);
  }

  std::uint32_t mask_;
  int shift_;
  std::uint64_t max_;
  std::vector<std::uint8_t> table_;
};

// Calls decode_row(source row, destination row) for each stored row, the
// first stored row being the bottom one unless the picture is top-down.
template <typename DecodeRow>
void ForEachRow(std::span<const std::uint8_t> data, std::size_t stride, bool top_down, Bitmap& out,
                DecodeRow decode_row) {
  const std::int32_t height = out.Height();
  for (std::int32_t i = 0; i < height; ++i) {
    decode_row(data.data() + static_cast<std::size_t>(i) * stride,
               out.Row(top_down ? i : height - 1 - i));
  }
}

template <int kBits>
void DecodeIndexedRows(std::span<const std::uint8_t> data, std::size_t stride, bool top_down,
                       const Palette& palette, Bitmap& out) {
  constexpr int kPerByte = 8 / kBits;
  constexpr unsigned kIndexMask = (1u << kBits) - 1;
  const std::int32_t width = out.Width();
  ForEachRow(data, stride, top_down, out, [&](const std::uint8_t* src, ColorRef* dst) {
    for (std::int32_t x = 0; x < width; ++x) {
      // The leftmost pixel is in the highest bits of its byte.
      const int shift = 8 - kBits * (x % kPerByte + 1);
      dst[x] = palette[(src[x / kPerByte] >> shift) & kIndexMask];
    }
  });
}

void DecodeUncompressed(const Header& h, std::span<const std::uint8_t> data, std::size_t stride,
                        bool top_down, const Palette& palette, Bitmap& out) {
  const std::int32_t width = out.Width();
  switch (h.bit_count) {
    case 1:
      return DecodeIndexedRows<1>(data, stride, top_down, palette, out);
    case 2:
      return DecodeIndexedRows<2>(data, stride, top_down, palette, out);
    case 4:
      return DecodeIndexedRows<4>(data, stride, top_down, palette, out);
    case 8:
      return DecodeIndexedRows<8>(data, stride, top_down, palette, out);
    case 24:
      return ForEachRow(data, stride, top_down, out, [&](const std::uint8_t* src, ColorRef* dst) {
        for (std::int32_t x = 0; x < width; ++x, src += 3) {
          dst[x] = MakeColorRef(src[2], src[1], src[0]);
        }
      });
    default:
      break;
  }
  if (h.bit_count == 32 && h.compression == kRgb) {
    return ForEachRow(data, stride, top_down, out, [&](const std::uint8_t* src, ColorRef* dst) {
      for (std::int32_t x = 0; x < width; ++x, src += 4) {
        dst[x] = MakeColorRef(src[2], src[1], src[0]);  // the fourth byte is unused
      }
    });
  }
  const ChannelScale red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]);
  if (h.bit_count == 16) {
    return ForEachRow(data, stride, top_down, out, [&](const std::uint8_t* src, ColorRef* dst) {
      for (std::int32_t x = 0; x < width; ++x, src += 2) {
        const std::uint32_t pixel = ReadU16(src);
        dst[x] = MakeColorRef(red(pixel), green(pixel), blue(pixel));
      }
    });
  }
  ForEachRow(data, stride, top_down, out, [&](const std::uint8_t* src, ColorRef* dst) {
    for (std::int32_t x = 0; x < width; ++x, src += 4) {
      const std::uint32_t pixel = ReadU32(src);
      dst[x] = MakeColorRef(red(pixel), green(pixel), blue(pixel));
    }
  });
}

// Draws RLE8 or RLE4 data onto `out`, which already holds palette entry 0
// wherever the data leaves pixels untouched. Runs are clipped at the row's
// end rather than continued on the next row; the decode stops at the end of
// picture, at the end of the data, or once the position leaves the last row.
void DecodeRle(std::span<const std::uint8_t> data, bool rle4, bool top_down, const Palette& palette,
               Bitmap& out) {
  const std::int64_t width = out.Width();
  const std::int64_t height = out.Height();
  const std::size_t size = data.size();
  std::int64_t x = 0;  // kept at most `width`: past it nothing is drawn anyway
  std::int64_t y = 0;  // in stored order
  std::size_t i = 0;
  const auto row = [&] {
    return out.Row(static_cast<std::int32_t>(top_down ? y : height - 1 - y));
  };

  while (y < height && size - i >= 2) {
    const std::uint8_t count = data[i];
    const std::uint8_t value = data[i + 1];
    i += 2;
    if (count > 0) {  // a run of `count` pixels of one index, or of two alternating ones
      const std::int64_t end = std::min(x + count, width);
      ColorRef* dst = row();
      if (rle4) {
        const ColorRef colors[2] = {palette[value >> 4], palette[value & 0x0F]};
        for (std::int64_t k = 0; x + k < end; ++k) dst[x + k] = colors[k & 1];
      } else {
        std::fill(dst + x, dst + std::max(x, end), palette[value]);
      }
      x = std::min(x + count, width);
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++y;
        break;
      case 1:  // end of picture
        return;
      case 2:  // delta: move right and up (down in stored order) without drawing
        if (size - i < 2) return;
        x = std::min<std::int64_t>(x + data[i], width);
        y += data[i + 1];
        i += 2;
        break;
      default: {  // absolute mode: `value` literal pixels, padded to a 16-bit boundary;
                  // data that ends inside them draws what there is, and the loop stops
        const std::size_t bytes = rle4 ? (value + 1u) / 2 : value;
        const std::size_t available = std::min(bytes, size - i);
        const std::int64_t pixels = rle4 ? std::min<std::int64_t>(value, 2 * available)
                                         : static_cast<std::int64_t>(available);
        ColorRef* dst = row();
        const std::uint8_t* src = data.data() + i;
        for (std::int64_t k = 0; k < pixels && x + k < width; ++k) {
          const unsigned index =
              rle4 ? ((k & 1) != 0 ? src[k / 2] & 0x0F : src[k / 2] >> 4) : src[k];
          dst[x + k] = palette[index];
        }
        i = std::min(size, i + bytes + (bytes & 1));
        x = std::min<std::int64_t>(x + value, width);
        break;
      }
    }
  }
}

}  // namespace

Bitmap DecodeBmp(std::span<const std::uint8_t> file) {
  const Header h = ReadHeader(file);

  // Checked before anything is allocated; widths and heights come from 32-bit
  // fields, so the product fits in 64 bits.
  if (h.width <= 0 || h.height == 0) Refuse();
  const bool top_down = h.height < 0;
  const std::int64_t height = top_down ? -h.height : h.height;
  if (h.width * height > kMaxBitmapPixels) Refuse();
  const auto width = static_cast<std::int32_t>(h.width);

  // A bfOffBits that points before the end of the headers and masks (0, as
  // some writers leave it, or anything inside them) cannot be where the pixels
  // are; then they are taken to follow the palette directly. A valid one also
  // bounds the palette, which is how OS/2 1.x files with fewer than 2^bits
  // entries show their palette's length.
  const bool indexed = h.bit_count <= 8;
  std::uint64_t entries = h.colors_used;
  if (indexed && entries == 0) entries = std::uint64_t{1} << h.bit_count;
  const std::uint64_t off_bits = ReadU32(file.data() + kOffBitsAt);
  std::uint64_t pixel_offset;
  if (off_bits >= h.end) {
    if (indexed) entries = std::min(entries, (off_bits - h.end) / h.palette_entry_size);
    pixel_offset = off_bits;
  } else {
    pixel_offset = h.end + entries * h.palette_entry_size;
  }
  // The palette ends at or before the pixels, so this also refuses a palette
  // that runs past the end of the file.
  if (pixel_offset > file.size()) Refuse();

  // Indices past the palette's end are black; higher bit depths have no use
  // for a colour table even when the file carries one.
  Palette palette{};
  if (indexed) {
    const std::uint64_t used = std::min<std::uint64_t>(entries, palette.size());
    for (std::uint64_t k = 0; k < used; ++k) {
      const std::uint8_t* entry = file.data() + h.end + k * h.palette_entry_size;
      palette[k] = MakeColorRef(entry[2], entry[1], entry[0]);
    }
  }

  const std::span<const std::uint8_t> data = file.subspan(pixel_offset);
  if (h.compression == kRle8 || h.compression == kRle4) {
    Bitmap out(width, static_cast<std::int32_t>(height), palette[0]);
    DecodeRle(data, h.compression == kRle4, top_down, palette, out);
    return out;
  }

  // Every row is padded to 4 bytes except that the last one stored may stop
  // at its last pixel: its padding carries nothing, and some writers leave it
  // out. Checked before the pixels are allocated, so that a large header over
  // little data costs nothing.
  const std::uint64_t row_bits = static_cast<std::uint64_t>(width) * h.bit_count;
  const std::uint64_t stride = (row_bits + 31) / 32 * 4;
  const std::uint64_t needed = stride * static_cast<std::uint64_t>(height - 1) + (row_bits + 7) / 8;
  if (data.size() < needed) Refuse();
  // Every pixel of every row is decoded below.
  Bitmap out = Bitmap::ForOverwrite(width, static_cast<std::int32_t>(height));
  DecodeUncompressed(h, data, static_cast<std::size_t>(stride), top_down, palette, out);
  return out;
}

}  // namespace rastrel
