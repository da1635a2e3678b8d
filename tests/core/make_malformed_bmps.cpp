// make-malformed-bmps DIR: writes a corpus of broken bitmap files into DIR,
// each named for what is wrong with it. The tests open every one through the
// file reader and the window; bench/malformed-bmps.sh times each with the
// converter.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "tests/core/bmp_builder.h"

namespace {

using namespace rastrel::testing;  // the BMP builder
using Bytes = std::vector<std::uint8_t>;
using rastrel::ColorRef;
using rastrel::MakeColorRef;

constexpr ColorRef kRed = MakeColorRef(0xFF, 0, 0);
constexpr ColorRef kGreen = MakeColorRef(0, 0xFF, 0);
constexpr ColorRef kBlue = MakeColorRef(0, 0, 0xFF);
const std::vector<ColorRef> kPalette = {kRed, kGreen, kBlue, MakeColorRef(0x12, 0x34, 0x56)};

Bytes Cut(Bytes file, std::size_t size) {
  file.resize(size);
  return file;
}

Bytes With16(Bytes file, std::size_t at, std::uint16_t value) {
  PutLe16(file, at, value);
  return file;
}

Bytes With32(Bytes file, std::size_t at, std::uint32_t value) {
  PutLe32(file, at, value);
  return file;
}

Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::uint32_t SizeOf(const Bytes& file) { return static_cast<std::uint32_t>(file.size()); }

// Red pixels at 24 bits, bottom-up unless the height is negative. Sizes too
// large or impossible get a single row of one pixel.
BmpFile Rgb24(std::int32_t width = 4, std::int32_t height = 3) {
  const bool small = width > 0 && width <= 64 && height != 0 && height >= -64 && height <= 64;
  const std::size_t rows = small ? static_cast<std::size_t>(height < 0 ? -height : height) : 1;
  const Bytes row = Bgr(std::vector<ColorRef>(small ? width : 1, kRed));
  return BmpFile{.width = width,
                 .height = height,
                 .pixels = Rows(std::vector<std::vector<std::uint8_t>>(rows, row))};
}

// 4 x 3 pixels at 8 bits over the four-entry palette.
BmpFile Indexed8(std::vector<std::uint8_t> row = {0, 1, 2, 3}) {
  return BmpFile{.width = 4,
                 .height = 3,
                 .bit_count = 8,
                 .colors_used = 4,
                 .palette = kPalette,
                 .pixels = Rows({row, row, row})};
}

BmpFile Rle(std::uint16_t bits, std::int32_t width, std::int32_t height, Bytes data) {
  return BmpFile{.width = width,
                 .height = height,
                 .bit_count = bits,
                 .compression = bits == 8 ? kBiRle8 : kBiRle4,
                 .colors_used = 4,
                 .palette = kPalette,
                 .pixels = std::move(data)};
}

BmpFile Masked(std::uint16_t bits, std::vector<std::uint32_t> masks,
               std::uint32_t header_size = kInfoHeader) {
  const Bytes row = bits == 16 ? Le16({0xFFFF, 0x1234, 0, 0x8000}) : Le32({~0u, 0x12345678, 0, 1});
  return BmpFile{.header_size = header_size,
                 .width = 4,
                 .height = 2,
                 .bit_count = bits,
                 .compression = kBiBitFields,
                 .masks = std::move(masks),
                 .pixels = Rows({row, row})};
}

std::vector<std::pair<std::string, Bytes>> Corpus() {
  std::vector<std::pair<std::string, Bytes>> files;
  const auto add = [&files](std::string name, Bytes bytes) {
    files.emplace_back(std::move(name), std::move(bytes));
  };

  // Cut short: inside the file header, the info header, the masks, the
  // palette and the pixels.
  const Bytes rgb24 = Rgb24().Bytes();
  for (std::size_t at : {0, 1, 2, 6, 10, 13, 14, 17, 18, 22, 30, 53}) {
    add("truncated-at-" + std::to_string(at), Cut(rgb24, at));
  }
  add("truncated-core-header", Cut(BmpFile{.header_size = kCoreHeader}.Bytes(), 14 + 11));
  add("truncated-os2-header", Cut(BmpFile{.header_size = kOs2Header}.Bytes(), 14 + 30));
  add("truncated-v5-header", Cut(BmpFile{.header_size = kV5Header}.Bytes(), 14 + 100));
  add("truncated-masks", Cut(Masked(16, {0xF800, 0x07E0, 0x001F}).Bytes(), 14 + 40 + 6));
  add("truncated-palette", Cut(Indexed8().Bytes(), 14 + 40 + 10));
  add("truncated-pixels-one-byte-short", Cut(rgb24, rgb24.size() - 1));
  add("truncated-pixels-half", Cut(rgb24, 14 + 40 + 18));
  add("truncated-pixels-none", Cut(rgb24, 14 + 40));
  add("truncated-pixels-8bit-none", Cut(Indexed8().Bytes(), 14 + 40 + 16));
  // The last row's padding carries nothing, and some writers leave it out.
  const Bytes three_wide = Rgb24(3, 2).Bytes();
  add("truncated-last-row-padding", Cut(three_wide, three_wide.size() - 3));
  add("truncated-inner-row-padding", Cut(three_wide, three_wide.size() - 4));

  // Sizes that cannot be, or are too large for the bytes behind them.
  add("size-100000x100000-in-tiny-file", Rgb24(100000, 100000).Bytes());
  add("size-100000x100000-rle8", Rle(8, 100000, 100000, {0, 1}).Bytes());
  add("size-16384x16384-without-pixels", Rgb24(16384, 16384).Bytes());
  add("size-16385x16384-rle8", Rle(8, 16385, 16384, {0, 1}).Bytes());
  add("size-268435457x1-rle8", Rle(8, 268435457, 1, {0, 1}).Bytes());
  // Within the pixel limit, and so a whole picture from two bytes of data.
  add("size-16384x16384-rle8-ends-at-once", Rle(8, 16384, 16384, {0, 1}).Bytes());
  // Too wide for a picture on the screen, not for the file reader.
  add("size-67108864x1-rle8", Rle(8, 67108864, 1, {0, 1}).Bytes());
  add("width-0", Rgb24(0, 3).Bytes());
  add("height-0", Rgb24(4, 0).Bytes());
  add("width-negative", Rgb24(-4, 3).Bytes());
  add("width-int32-min", Rgb24(std::numeric_limits<std::int32_t>::min(), 3).Bytes());
  add("height-negative-is-top-down", Rgb24(4, -3).Bytes());
  add("height-minus-1", Rgb24(4, -1).Bytes());
  add("height-int32-min", Rgb24(4, std::numeric_limits<std::int32_t>::min()).Bytes());
  add("height-int32-min-rle8", Rle(8, 4, std::numeric_limits<std::int32_t>::min(), {0, 1}).Bytes());
  add("height-int32-max", Rgb24(4, std::numeric_limits<std::int32_t>::max()).Bytes());
  add("core-header-width-0", BmpFile{.header_size = kCoreHeader, .width = 0}.Bytes());
  add("core-header-height-0", BmpFile{.header_size = kCoreHeader, .height = 0}.Bytes());
  add("core-header-height-65535", BmpFile{.header_size = kCoreHeader, .height = 65535}.Bytes());

  // Bit counts that no bitmap has.
  for (std::uint16_t bits : {0, 3, 5, 7, 9, 12, 15, 31, 48, 64, 65535}) {
    add("bit-count-" + std::to_string(bits),
        BmpFile{.width = 4, .height = 3, .bit_count = bits, .pixels = Bytes(4 * 3 * 8)}.Bytes());
  }
  add("core-header-bit-count-3",
      BmpFile{.header_size = kCoreHeader, .bit_count = 3, .pixels = {0, 0, 0, 0}}.Bytes());

  // Indices past the palette.
  add("palette-index-past-8bit-palette", Indexed8({0, 4, 200, 255}).Bytes());
  add("palette-index-past-4bit-palette", BmpFile{.width = 4,
                                                 .height = 1,
                                                 .bit_count = 4,
                                                 .colors_used = 2,
                                                 .palette = {kRed, kGreen},
                                                 .pixels = Rows({{0x01, 0xEF}})}
                                             .Bytes());
  add("palette-index-past-1bit-palette", BmpFile{.width = 8,
                                                 .height = 1,
                                                 .bit_count = 1,
                                                 .colors_used = 1,
                                                 .palette = {kRed},
                                                 .pixels = Rows({{0xA5}})}
                                             .Bytes());
  add("palette-missing-8bit",
      BmpFile{.width = 4, .height = 1, .bit_count = 8, .pixels = Rows({{0, 1, 2, 3}})}.Bytes());
  add("palette-index-past-rle8-palette", Rle(8, 4, 1, {2, 9, 2, 255, 0, 1}).Bytes());

  // RLE data that runs past a row, past the picture or past the file, or
  // never ends.
  add("rle8-run-overruns-row", Rle(8, 4, 2, {200, 1, 0, 0, 3, 2, 0, 1}).Bytes());
  add("rle8-run-overruns-picture", Rle(8, 4, 2, {4, 1, 4, 2, 4, 3, 255, 1, 255, 2}).Bytes());
  add("rle8-literal-overruns-row", Rle(8, 2, 2, {0, 5, 1, 2, 3, 1, 2, 0, 0, 0, 1}).Bytes());
  add("rle8-literal-overruns-file", Rle(8, 4, 2, {0, 200, 1, 2, 3}).Bytes());
  add("rle8-delta-past-right-edge", Rle(8, 4, 2, {0, 2, 200, 0, 2, 1, 0, 1}).Bytes());
  add("rle8-delta-past-last-row", Rle(8, 4, 2, {0, 2, 0, 200, 4, 1, 0, 1}).Bytes());
  add("rle8-delta-cut-by-file-end", Rle(8, 4, 2, {2, 1, 0, 2, 1}).Bytes());
  add("rle8-escape-cut-by-file-end", Rle(8, 4, 2, {2, 1, 0}).Bytes());
  add("rle8-no-end-of-bitmap", Rle(8, 4, 2, {4, 1, 0, 0, 4, 2, 0, 0}).Bytes());
  add("rle8-end-of-lines-past-picture", Rle(8, 4, 2, Bytes(4096, 0)).Bytes());
  add("rle8-no-data", Rle(8, 4, 2, {}).Bytes());
  add("rle8-top-down", Rle(8, 4, -2, {4, 1, 0, 0, 4, 2, 0, 1}).Bytes());
  add("rle4-run-overruns-row", Rle(4, 4, 2, {200, 0x12, 0, 0, 3, 0x21, 0, 1}).Bytes());
  add("rle4-run-overruns-picture", Rle(4, 4, 2, {4, 0x12, 4, 0x21, 255, 0x33}).Bytes());
  add("rle4-literal-overruns-row", Rle(4, 2, 1, {0, 7, 0x12, 0x31, 0x23, 0x10, 0, 1}).Bytes());
  add("rle4-literal-overruns-file", Rle(4, 4, 2, {0, 200, 0x12}).Bytes());
  add("rle4-delta-past-last-row", Rle(4, 4, 2, {0, 2, 1, 255, 4, 0x11, 0, 1}).Bytes());
  add("rle4-no-end-of-bitmap", Rle(4, 4, 2, {4, 0x12, 0, 0, 4, 0x21}).Bytes());
  // Compression and bit count that do not go together.
  add("rle8-at-4-bits", With16(Rle(8, 4, 2, {0, 1}).Bytes(), kBitCountAt, 4));
  add("rle8-at-24-bits", With16(Rle(8, 4, 2, {0, 1}).Bytes(), kBitCountAt, 24));
  add("rle4-at-8-bits", With16(Rle(4, 4, 2, {0, 1}).Bytes(), kBitCountAt, 8));

  // Header sizes and offsets that make no sense.
  for (std::uint32_t size :
       {0u, 1u, 4u, 11u, 13u, 15u, 41u, 65u, 100u, 125u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    add("header-size-" + std::to_string(size), With32(rgb24, kInfoAt, size));
  }
  add("header-size-past-file-end", Cut(With32(rgb24, kInfoAt, kV5Header), 14 + 100));
  BmpFile os2_16 = Rgb24();
  os2_16.header_size = 16;
  add("header-size-16-os2", os2_16.Bytes());
  add("offset-0", With32(rgb24, kOffBitsAt, 0));
  add("offset-inside-header", With32(rgb24, kOffBitsAt, 20));
  add("offset-past-file-end", With32(rgb24, kOffBitsAt, SizeOf(rgb24) + 1));
  add("offset-at-file-end", With32(rgb24, kOffBitsAt, SizeOf(rgb24)));
  add("offset-huge", With32(rgb24, kOffBitsAt, 0xFFFFFFFF));
  add("offset-into-pixels", With32(rgb24, kOffBitsAt, 14 + 40 + 4));
  add("offset-huge-rle8", With32(Rle(8, 4, 2, {0, 1}).Bytes(), kOffBitsAt, 0xFFFFFFFF));

  // Bit-field masks: overlapping, empty, scattered, wider than the pixel.
  add("masks-overlap", Masked(16, {0xFFFF, 0xFFFF, 0x00FF}).Bytes());
  add("masks-empty", Masked(32, {0, 0, 0}).Bytes());
  add("masks-not-contiguous", Masked(16, {0xF800, 0x0F0F, 0x001F}).Bytes());
  add("masks-not-contiguous-in-v5-header",
      Masked(32, {0x00FF0000, 0x0000FF00, 0x80000001}, kV5Header).Bytes());
  add("masks-all-32-bits", Masked(32, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}).Bytes());
  add("masks-wider-than-16-bits", Masked(16, {0xFF0000, 0x00FF00, 0x0000FF}).Bytes());
  add("masks-at-24-bits", With16(Masked(16, {0xF800, 0x07E0, 0x001F}).Bytes(), kBitCountAt, 24));
  add("masks-at-8-bits", With16(Masked(16, {0xF800, 0x07E0, 0x001F}).Bytes(), kBitCountAt, 8));
  add("masks-in-os2-header", Masked(16, {0xF800, 0x07E0, 0x001F}, kOs2Header).Bytes());
  {
    BmpFile alpha = Masked(32, {0xFF0000, 0x00FF00, 0x0000FF});
    alpha.compression = kBiAlphaBitFields;
    add("masks-alpha-cut-by-file-end", Cut(alpha.Bytes(), 14 + 40 + 14));
  }

  // Colour counts beyond what the palette or the file holds.
  add("colors-used-huge-pixels-after-palette",
      With32(With32(Indexed8().Bytes(), kColorsUsedAt, 0xFFFFFFFF), kOffBitsAt, 0));
  add("colors-used-huge-with-offset", With32(Indexed8().Bytes(), kColorsUsedAt, 0xFFFFFFFF));
  add("colors-used-300-at-8-bits", BmpFile{.width = 4,
                                           .height = 1,
                                           .bit_count = 8,
                                           .colors_used = 300,
                                           .palette = std::vector<ColorRef>(300, kBlue),
                                           .pixels = Rows({{0, 1, 255, 128}})}
                                       .Bytes());
  add("colors-used-17-at-4-bits", BmpFile{.width = 2,
                                          .height = 1,
                                          .bit_count = 4,
                                          .colors_used = 17,
                                          .palette = std::vector<ColorRef>(17, kGreen),
                                          .pixels = Rows({{0xF0}})}
                                      .Bytes());
  add("colors-used-huge-at-24-bits",
      With32(With32(rgb24, kColorsUsedAt, 0x40000000), kOffBitsAt, 0));

  // Compressions that are not read.
  for (std::uint32_t compression : {4u, 5u, 7u, 11u, 0xFFFFFFFFu}) {
    add("compression-" + std::to_string(compression), With32(rgb24, kCompressionAt, compression));
  }

  // Fields the decoder ignores, a signature that is not "BM", and bytes
  // after the picture.
  add("planes-0", With16(rgb24, kInfoAt + 12, 0));
  add("file-size-field-wrong", With32(rgb24, 2, 7));
  add("signature-lower-case", With16(rgb24, 0, 'b' | 'm' << 8));
  add("signature-reversed", With16(rgb24, 0, 'M' | 'B' << 8));
  add("trailing-garbage", Cat(rgb24, Bytes(1000, 0xA5)));
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  for (const auto& [name, bytes] : Corpus()) {
    const std::filesystem::path path = dir / (name + ".bmp");
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
      std::perror(path.c_str());
      return 1;
    }
  }
  return 0;
}
