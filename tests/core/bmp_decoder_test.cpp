#include "core/bmp_decoder.h"

#include <cstdint>
#include <cstdio>
#include <limits>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/load_error.h"
#include "core/messages.h"
#include "tests/core/bmp_builder.h"

namespace rastrel {
namespace {

using namespace rastrel::testing;                    // the BMP builder
using Picture = std::vector<std::vector<ColorRef>>;  // top row first

constexpr ColorRef kBlack = 0;
constexpr ColorRef kRed = MakeColorRef(0xFF, 0, 0);
constexpr ColorRef kGreen = MakeColorRef(0, 0xFF, 0);
constexpr ColorRef kBlue = MakeColorRef(0, 0, 0xFF);
constexpr ColorRef kWhite = MakeColorRef(0xFF, 0xFF, 0xFF);
constexpr ColorRef kOdd = MakeColorRef(0x12, 0x34, 0x56);  // shows a swapped channel

// Distinct from black and from each other, so that a wrong index, a skipped
// pixel (entry 0) and an index past the palette (black) all show.
constexpr ColorRef kP0 = MakeColorRef(0x10, 0x20, 0x30);
constexpr ColorRef kP1 = MakeColorRef(0x40, 0x50, 0x60);
constexpr ColorRef kP2 = MakeColorRef(0x70, 0x80, 0x90);
constexpr ColorRef kP3 = MakeColorRef(0xA0, 0xB0, 0xC0);
const std::vector<ColorRef> kPalette = {kP0, kP1, kP2, kP3};

// Pictures as text, so that a failure shows which pixels differ.
std::string Describe(const Picture& rows) {
  std::string text;
  for (const auto& row : rows) {
    for (ColorRef color : row) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "%02x%02x%02x ", RedOf(color), GreenOf(color), BlueOf(color));
      text += hex;
    }
    text += '\n';
  }
  return text;
}

Picture PictureOf(const Bitmap& bitmap) {
  Picture rows(bitmap.Height());
  for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
    rows[y].assign(bitmap.Row(y), bitmap.Row(y) + bitmap.Width());
  }
  return rows;
}

std::vector<std::uint8_t> Cat(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct DecodeCase {
  std::string name;
  std::vector<std::uint8_t> file;
  Picture expected;
  friend void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }
};

// A 2 x 2 picture stored bottom-up at 24 bits.
const Picture kSquare = {{kRed, kGreen}, {kBlue, kOdd}};
const std::vector<std::uint8_t> kSquareRows = Rows({Bgr({kBlue, kOdd}), Bgr({kRed, kGreen})});

std::vector<DecodeCase> HeaderCases() {
  std::vector<DecodeCase> cases;
  for (auto [name, size] :
       std::vector<std::pair<std::string, std::uint32_t>>{{"CoreHeader", kCoreHeader},
                                                          {"Os2Header16", 16},
                                                          {"Os2Header64", kOs2Header},
                                                          {"InfoHeader", kInfoHeader},
                                                          {"V2Header", kV2Header},
                                                          {"V3Header", kV3Header},
                                                          {"V4Header", kV4Header},
                                                          {"V5Header", kV5Header}}) {
    cases.push_back(
        {name, BmpFile{.header_size = size, .width = 2, .height = 2, .pixels = kSquareRows}.Bytes(),
         kSquare});
  }
  cases.push_back(
      {"TopDown",
       BmpFile{.width = 2, .height = -2, .pixels = Rows({Bgr({kRed, kGreen}), Bgr({kBlue, kOdd})})}
           .Bytes(),
       kSquare});
  // Without the colour count the 1-bit palette has its full 2 entries, and
  // the pixels follow them.
  cases.push_back({"Os2Header32LacksColorsUsed",
                   BmpFile{.header_size = 32,
                           .width = 2,
                           .bit_count = 1,
                           .palette = {kP0, kP1},
                           .pixels = Rows({{0x40}}),
                           .off_bits = 0}
                       .Bytes(),
                   {{kP0, kP1}}});
  cases.push_back({"Os2Header36HasColorsUsed",
                   BmpFile{.header_size = 36,
                           .width = 2,
                           .bit_count = 8,
                           .colors_used = 2,
                           .palette = {kP0, kP1},
                           .pixels = Rows({{1, 0}}),
                           .off_bits = 0}
                       .Bytes(),
                   {{kP1, kP0}}});
  return cases;
}

std::vector<DecodeCase> DepthCases() {
  std::vector<DecodeCase> cases;
  // Unused low bits of each row are set, and must not matter.
  cases.push_back({"Indexed1",
                   BmpFile{.width = 3,
                           .height = 2,
                           .bit_count = 1,
                           .palette = {kP0, kP1},
                           .pixels = Rows({{0b0111'1111}, {0b1011'1111}})}
                       .Bytes(),
                   {{kP1, kP0, kP1}, {kP0, kP1, kP1}}});
  cases.push_back({"Indexed2",
                   BmpFile{.width = 3,
                           .height = 2,
                           .bit_count = 2,
                           .palette = kPalette,
                           .pixels = Rows({{0b00'11'00'11}, {0b11'01'10'11}})}
                       .Bytes(),
                   {{kP3, kP1, kP2}, {kP0, kP3, kP0}}});
  cases.push_back({"Indexed4",
                   BmpFile{.width = 3,
                           .height = 2,
                           .bit_count = 4,
                           .palette = kPalette,
                           .pixels = Rows({{0x30, 0x2F}, {0x12, 0x3F}})}
                       .Bytes(),
                   {{kP1, kP2, kP3}, {kP3, kP0, kP2}}});
  cases.push_back({"Indexed8",
                   BmpFile{.width = 3,
                           .height = 2,
                           .bit_count = 8,
                           .palette = kPalette,
                           .pixels = Rows({{2, 2, 1}, {0, 3, 1}})}
                       .Bytes(),
                   {{kP0, kP3, kP1}, {kP2, kP2, kP1}}});
  // 5-5-5 with the top bit ignored; 16 of 31 is 131.6, so it rounds to 132.
  cases.push_back(
      {"Rgb16",
       BmpFile{
           .width = 4, .bit_count = 16, .pixels = Rows({Le16({0x7C00, 0x83E0, 0x001F, 0x4210})})}
           .Bytes(),
       {{kRed, kGreen, kBlue, MakeColorRef(132, 132, 132)}}});
  cases.push_back(
      {"Rgb32IgnoresTopByte",
       BmpFile{.width = 2, .bit_count = 32, .pixels = {0x56, 0x34, 0x12, 0xAB, 0, 0, 0xFF, 0xFF}}
           .Bytes(),
       {{kOdd, kRed}}});
  // A 32-bit BI_RGB picture is 8-8-8 whatever masks the header carries.
  cases.push_back({"Rgb32IgnoresHeaderMasks",
                   BmpFile{.header_size = kV5Header,
                           .width = 1,
                           .bit_count = 32,
                           .masks = {0x000000FF, 0x0000FF00, 0x00FF0000},
                           .pixels = {0x56, 0x34, 0x12, 0}}
                       .Bytes(),
                   {{kOdd}}});

  // Row padding: a wrong stride shifts the second stored row.
  const auto color = [](int x, int y) { return MakeColorRef(x * 8, 0x40 + y * 0x40, 0xFF - x); };
  for (int width : {1, 2, 3, 31}) {
    Picture expected(2, std::vector<ColorRef>(width));
    std::vector<std::vector<ColorRef>> stored(2, std::vector<ColorRef>(width));
    std::vector<std::vector<std::uint8_t>> indices(2, std::vector<std::uint8_t>(width));
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < width; ++x) {
        expected[y][x] = color(x, y);
        stored[1 - y][x] = color(x, y);
        indices[1 - y][x] = (x + y) % 4;
      }
    }
    cases.push_back(
        {"Rgb24Width" + std::to_string(width),
         BmpFile{.width = width, .height = 2, .pixels = Rows({Bgr(stored[0]), Bgr(stored[1])})}
             .Bytes(),
         expected});
    if (width == 31) {
      for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < width; ++x) expected[y][x] = kPalette[(x + y) % 4];
      }
      cases.push_back({"Indexed8Width31",
                       BmpFile{.width = width,
                               .height = 2,
                               .bit_count = 8,
                               .palette = kPalette,
                               .pixels = Rows(indices)}
                           .Bytes(),
                       expected});
    }
  }
  // Only the last stored row may lack its padding.
  cases.push_back(
      {"LastRowUnpadded",
       BmpFile{.width = 1, .height = 2, .pixels = Cat(Rows({Bgr({kRed})}), Bgr({kBlue}))}.Bytes(),
       {{kBlue}, {kRed}}});
  return cases;
}

std::vector<DecodeCase> PaletteCases() {
  std::vector<DecodeCase> cases;
  cases.push_back({"IndexPastPaletteIsBlack",
                   BmpFile{.width = 4,
                           .bit_count = 8,
                           .colors_used = 2,
                           .palette = {kP0, kP1},
                           .pixels = Rows({{0, 1, 2, 255}})}
                       .Bytes(),
                   {{kP0, kP1, kBlack, kBlack}}});
  // With bfOffBits unusable, the colour count alone says where pixels start.
  cases.push_back({"ColorsUsedPlacesPixels",
                   BmpFile{.width = 3,
                           .bit_count = 8,
                           .colors_used = 3,
                           .palette = {kP0, kP1, kP2},
                           .pixels = Rows({{2, 1, 0}}),
                           .off_bits = 0}
                       .Bytes(),
                   {{kP2, kP1, kP0}}});
  cases.push_back({"ColorsUsedBeyondBitDepth",
                   BmpFile{.width = 2,
                           .bit_count = 1,
                           .colors_used = 4,
                           .palette = kPalette,
                           .pixels = Rows({{0b1000'0000}}),
                           .off_bits = 0}
                       .Bytes(),
                   {{kP1, kP0}}});
  // A 40-byte header implies 256 entries; bfOffBits says there are 2.
  cases.push_back(
      {"OffBitsEndsPalette",
       BmpFile{.width = 3, .bit_count = 8, .palette = {kP0, kP1}, .pixels = Rows({{1, 0, 2}})}
           .Bytes(),
       {{kP1, kP0, kBlack}}});
  cases.push_back({"NoPaletteIsBlack",
                   BmpFile{.width = 2, .bit_count = 4, .pixels = Rows({{0x10}})}.Bytes(),
                   {{kBlack, kBlack}}});
  cases.push_back({"CoreThreeByteEntries",
                   BmpFile{.header_size = kCoreHeader,
                           .width = 4,
                           .bit_count = 8,
                           .palette = {kP0, kP1, kP2},
                           .pixels = Rows({{2, 0, 1, 3}})}
                       .Bytes(),
                   {{kP2, kP0, kP1, kBlack}}});
  cases.push_back({"CoreFullPaletteBeforePixels",
                   BmpFile{.header_size = kCoreHeader,
                           .width = 2,
                           .bit_count = 1,
                           .palette = {kP0, kP1},
                           .pixels = Rows({{0b0100'0000}}),
                           .off_bits = 0}
                       .Bytes(),
                   {{kP0, kP1}}});
  cases.push_back({"Os2FourByteEntries",
                   BmpFile{.header_size = kOs2Header,
                           .width = 2,
                           .bit_count = 8,
                           .colors_used = 2,
                           .palette = {kP0, kP1},
                           .pixels = Rows({{1, 0}}),
                           .off_bits = 0}
                       .Bytes(),
                   {{kP1, kP0}}});
  return cases;
}

std::vector<DecodeCase> OffBitsCases() {
  std::vector<DecodeCase> cases;
  // A bfOffBits before the end of the headers is ignored: pixels follow.
  for (auto [name, off_bits] : std::vector<std::pair<std::string, std::uint32_t>>{
           {"OffBitsZero", 0}, {"OffBitsInsideHeader", 20}}) {
    cases.push_back(
        {name,
         BmpFile{.width = 2, .height = 2, .pixels = kSquareRows, .off_bits = off_bits}.Bytes(),
         kSquare});
  }
  cases.push_back({"OffBitsInsideMasks",
                   BmpFile{.width = 1,
                           .bit_count = 16,
                           .compression = kBiBitFields,
                           .masks = {0xF800, 0x07E0, 0x001F},
                           .pixels = Rows({Le16({0xF800})}),
                           .off_bits = 14 + 40 + 4}
                       .Bytes(),
                   {{kRed}}});
  cases.push_back({"OffBitsLeavesGap",
                   BmpFile{.width = 2,
                           .height = 2,
                           .pixels = Cat({1, 2, 3, 4, 5, 6}, kSquareRows),
                           .off_bits = 14 + 40 + 6}
                       .Bytes(),
                   kSquare});
  return cases;
}

std::vector<DecodeCase> BitFieldCases() {
  std::vector<DecodeCase> cases;
  // 16 of 31 is 131.6 and 32 of 63 is 129.5: both round up.
  cases.push_back({"BitFields565",
                   BmpFile{.width = 4,
                           .bit_count = 16,
                           .compression = kBiBitFields,
                           .masks = {0xF800, 0x07E0, 0x001F},
                           .pixels = Rows({Le16({0xF800, 0x07E0, 0x001F, 0x8410})})}
                       .Bytes(),
                   {{kRed, kGreen, kBlue, MakeColorRef(132, 130, 132)}}});
  // 512 of 1023 is 127.6, 1 is 0.25 and 3 is 0.75; the top two bits are in
  // no mask.
  cases.push_back({"BitFields10_10_10",
                   BmpFile{.width = 2,
                           .bit_count = 32,
                           .compression = kBiBitFields,
                           .masks = {0x3FF00000, 0x000FFC00, 0x000003FF},
                           .pixels = Le32({0x3FF80002, 0xC0000403})}
                       .Bytes(),
                   {{MakeColorRef(255, 128, 0), MakeColorRef(0, 0, 1)}}});
  cases.push_back({"BitFieldsOneBitChannels",
                   BmpFile{.width = 3,
                           .bit_count = 16,
                           .compression = kBiBitFields,
                           .masks = {0x4, 0x2, 0x1},
                           .pixels = Rows({Le16({0x0005, 0x0002, 0xFFF8})})}
                       .Bytes(),
                   {{MakeColorRef(255, 0, 255), kGreen, kBlack}}});
  // 0x8000 of 0xFFFF is 127.502, 0x7FFF is 127.498; a 4-bit blue.
  cases.push_back({"BitFieldsFull16BitChannel",
                   BmpFile{.width = 3,
                           .bit_count = 32,
                           .compression = kBiBitFields,
                           .masks = {0xFFFF0000, 0x0000FF00, 0x000000F0},
                           .pixels = Le32({0x80000000, 0x7FFF0000, 0xFFFFFFFF})}
                       .Bytes(),
                   {{MakeColorRef(128, 0, 0), MakeColorRef(127, 0, 0), kWhite}}});
  cases.push_back({"BitFieldsEmptyMask",
                   BmpFile{.width = 1,
                           .bit_count = 16,
                           .compression = kBiBitFields,
                           .masks = {0x7C00, 0x03E0, 0},
                           .pixels = Rows({Le16({0x7FFF})})}
                       .Bytes(),
                   {{MakeColorRef(255, 255, 0)}}});
  // Masks inside the header: nothing of them follows it.
  for (auto [name, size] :
       std::vector<std::pair<std::string, std::uint32_t>>{{"BitFieldsInV2Header", kV2Header},
                                                          {"BitFieldsInV3Header", kV3Header},
                                                          {"BitFieldsInV4Header", kV4Header},
                                                          {"BitFieldsInV5Header", kV5Header}}) {
    cases.push_back({name,
                     BmpFile{.header_size = size,
                             .width = 2,
                             .bit_count = 32,
                             .compression = kBiBitFields,
                             .masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
                             .pixels = {0x12, 0x34, 0x56, 0x78, 0xFF, 0, 0, 0},
                             .off_bits = 0}
                         .Bytes(),
                     {{kOdd, kRed}}});
  }
  cases.push_back({"BitFields565InV5Header",
                   BmpFile{.header_size = kV5Header,
                           .width = 2,
                           .bit_count = 16,
                           .compression = kBiBitFields,
                           .masks = {0xF800, 0x07E0, 0x001F},
                           .pixels = Rows({Le16({0x07E0, 0xF81F})})}
                       .Bytes(),
                   {{kGreen, MakeColorRef(255, 0, 255)}}});
  // Four masks after a 40-byte header; the alpha one is ignored.
  cases.push_back({"AlphaBitFieldsAfterInfoHeader",
                   BmpFile{.width = 1,
                           .bit_count = 32,
                           .compression = kBiAlphaBitFields,
                           .masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
                           .pixels = Le32({0x80123456}),
                           .off_bits = 0}
                       .Bytes(),
                   {{kOdd}}});
  cases.push_back({"AlphaBitFieldsInV3Header",
                   BmpFile{.header_size = kV3Header,
                           .width = 1,
                           .bit_count = 16,
                           .compression = kBiAlphaBitFields,
                           .masks = {0x0F00, 0x00F0, 0x000F, 0xF000},
                           .pixels = Rows({Le16({0x50F0})})}
                       .Bytes(),
                   {{kGreen}}});
  return cases;
}

BmpFile Rle8(std::int32_t width, std::int32_t height, std::vector<std::uint8_t> data) {
  return {.width = width,
          .height = height,
          .bit_count = 8,
          .compression = kBiRle8,
          .palette = kPalette,
          .pixels = std::move(data)};
}

BmpFile Rle4(std::int32_t width, std::int32_t height, std::vector<std::uint8_t> data) {
  BmpFile file = Rle8(width, height, std::move(data));
  file.bit_count = 4;
  file.compression = kBiRle4;
  return file;
}

std::vector<DecodeCase> RleCases() {
  std::vector<DecodeCase> cases;
  // Pixels the data never reaches are palette entry 0.
  cases.push_back({"Rle8RunsEndOfLineEndOfPicture",
                   Rle8(4, 3, {4, 1, 0, 0, 2, 2, 2, 3, 0, 0, 0, 1, 4, 2}).Bytes(),
                   {{kP0, kP0, kP0, kP0}, {kP2, kP2, kP3, kP3}, {kP1, kP1, kP1, kP1}}});
  // Three literal pixels and a pad byte, then a run; four need no pad.
  cases.push_back({"Rle8AbsoluteOddIsPadded",
                   Rle8(4, 1, {0, 3, 1, 2, 3, 0, 1, 3, 0, 1}).Bytes(),
                   {{kP1, kP2, kP3, kP3}}});
  cases.push_back({"Rle8AbsoluteEvenIsNot",
                   Rle8(5, 1, {0, 4, 3, 2, 1, 0, 1, 2, 0, 1}).Bytes(),
                   {{kP3, kP2, kP1, kP0, kP2}}});
  cases.push_back({"Rle8Delta",
                   Rle8(4, 3, {1, 1, 0, 2, 2, 1, 1, 2, 0, 1}).Bytes(),
                   {{kP0, kP0, kP0, kP0}, {kP0, kP0, kP0, kP2}, {kP1, kP0, kP0, kP0}}});
  cases.push_back({"Rle8EarlyEndOfLineAndDataEnd",
                   Rle8(4, 2, {2, 1, 0, 0, 1, 2}).Bytes(),
                   {{kP2, kP0, kP0, kP0}, {kP1, kP1, kP0, kP0}}});
  // Neither literal pixels nor a run continue on the next row, and what
  // follows them on the same row is dropped too.
  cases.push_back({"Rle8OverrunsAreClipped",
                   Rle8(3, 2, {0, 5, 1, 2, 3, 1, 2, 0, 1, 3, 0, 0, 5, 2, 1, 3, 0, 1}).Bytes(),
                   {{kP2, kP2, kP2}, {kP1, kP2, kP3}}});
  cases.push_back({"Rle8DeltaPastLastRowEnds",
                   Rle8(2, 2, {1, 1, 0, 2, 0, 5, 2, 2}).Bytes(),
                   {{kP0, kP0}, {kP1, kP0}}});
  cases.push_back({"Rle8DataPastLastRowIgnored",
                   Rle8(2, 1, {2, 1, 0, 0, 2, 2, 0, 0, 2, 3}).Bytes(),
                   {{kP1, kP1}}});
  cases.push_back(
      {"Rle8LiteralsCutShort", Rle8(4, 1, {0, 4, 1, 2}).Bytes(), {{kP1, kP2, kP0, kP0}}});
  cases.push_back({"Rle8NoData", Rle8(2, 1, {}).Bytes(), {{kP0, kP0}}});
  cases.push_back(
      {"Rle8IndexPastPaletteIsBlack", Rle8(3, 1, {1, 200, 0, 1}).Bytes(), {{kBlack, kP0, kP0}}});
  cases.push_back(
      {"Rle8TopDown", Rle8(2, -2, {1, 1, 0, 0, 1, 2, 0, 1}).Bytes(), {{kP1, kP0}, {kP2, kP0}}});
  BmpFile no_palette = Rle8(2, 1, {1, 1});
  no_palette.palette.clear();
  cases.push_back({"Rle8NoPaletteIsBlack", no_palette.Bytes(), {{kBlack, kBlack}}});

  cases.push_back({"Rle4RunsAlternate",
                   Rle4(5, 2, {5, 0x12, 0, 0, 3, 0x30, 0, 1}).Bytes(),
                   {{kP3, kP0, kP3, kP0, kP0}, {kP1, kP2, kP1, kP2, kP1}}});
  // Five literal pixels take 3 bytes and a pad byte; three take 2 and none.
  cases.push_back(
      {"Rle4AbsolutePadding",
       Rle4(7, 2, {0, 5, 0x12, 0x31, 0x20, 0, 2, 0x33, 0, 0, 0, 3, 0x31, 0x20, 2, 0x11, 0, 1})
           .Bytes(),
       {{kP3, kP1, kP2, kP1, kP1, kP0, kP0}, {kP1, kP2, kP3, kP1, kP2, kP3, kP3}}});
  cases.push_back({"Rle4OverrunAndDelta",
                   Rle4(3, 3, {7, 0x12, 0, 0, 2, 0x23, 0, 2, 0, 1, 1, 0x10}).Bytes(),
                   {{kP0, kP0, kP1}, {kP2, kP3, kP0}, {kP1, kP2, kP1}}});
  cases.push_back(
      {"Rle4LiteralsCutShort", Rle4(4, 1, {0, 4, 0x12}).Bytes(), {{kP1, kP2, kP0, kP0}}});
  cases.push_back(
      {"Rle4IndexPastPaletteIsBlack", Rle4(3, 1, {2, 0xF1, 0, 1}).Bytes(), {{kBlack, kP1, kP0}}});
  return cases;
}

class DecodeBmpTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeBmpTest, DecodesPicture) {
  const DecodeCase& c = GetParam();
  const Bitmap bitmap = DecodeBmp(c.file);
  EXPECT_EQ(Describe(PictureOf(bitmap)), Describe(c.expected));
}

const auto kCaseName = [](const auto& info) { return info.param.name; };

INSTANTIATE_TEST_SUITE_P(Headers, DecodeBmpTest, ::testing::ValuesIn(HeaderCases()), kCaseName);
INSTANTIATE_TEST_SUITE_P(Depths, DecodeBmpTest, ::testing::ValuesIn(DepthCases()), kCaseName);
INSTANTIATE_TEST_SUITE_P(Palettes, DecodeBmpTest, ::testing::ValuesIn(PaletteCases()), kCaseName);
INSTANTIATE_TEST_SUITE_P(OffBits, DecodeBmpTest, ::testing::ValuesIn(OffBitsCases()), kCaseName);
INSTANTIATE_TEST_SUITE_P(BitFields, DecodeBmpTest, ::testing::ValuesIn(BitFieldCases()), kCaseName);
INSTANTIATE_TEST_SUITE_P(Rle, DecodeBmpTest, ::testing::ValuesIn(RleCases()), kCaseName);

struct RefusedCase {
  std::string name;
  std::vector<std::uint8_t> file;
  friend void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> file, std::size_t size) {
  file.resize(size);
  return file;
}

std::vector<std::uint8_t> With32(std::vector<std::uint8_t> file, std::size_t at,
                                 std::uint32_t value) {
  PutLe32(file, at, value);
  return file;
}

std::vector<RefusedCase> RefusedCases() {
  const std::vector<std::uint8_t> square =
      BmpFile{.width = 2, .height = 2, .pixels = kSquareRows}.Bytes();
  const BmpFile masked{.width = 1,
                       .bit_count = 16,
                       .compression = kBiBitFields,
                       .masks = {0xF800, 0x07E0, 0x001F},
                       .pixels = Rows({Le16({0})})};
  const auto square_with = [](std::uint16_t bit_count, std::uint32_t compression) {
    return BmpFile{.width = 2,
                   .height = 2,
                   .bit_count = bit_count,
                   .compression = compression,
                   .pixels = kSquareRows}
        .Bytes();
  };
  const auto os2_with = [](std::uint16_t bit_count, std::uint32_t compression) {
    return BmpFile{.header_size = kOs2Header,
                   .bit_count = bit_count,
                   .compression = compression,
                   .masks = {0xF800, 0x07E0, 0x001F},
                   .pixels = {0, 0, 0, 0}}
        .Bytes();
  };
  // Sizes are tried on RLE data, which no length check can refuse first.
  const auto rle_sized = [](std::int32_t width, std::int32_t height) {
    return Rle8(width, height, {0, 1}).Bytes();
  };
  BmpFile alpha_masked = masked;
  alpha_masked.compression = kBiAlphaBitFields;
  BmpFile scattered_mask = masked;
  scattered_mask.masks[1] = 0x0F0F;

  std::vector<RefusedCase> cases = {
      {"Empty", {}},
      {"FileHeaderOnly", Cut(square, 14)},
      {"NotBm", With32(square, 0, 0x4142)},
      {"InfoHeaderCutShort", Cut(square, 14 + 39)},
      {"HeaderSizeMax", With32(square, kInfoAt, 0xFFFFFFFF)},
      {"MasksCutShort", Cut(masked.Bytes(), 14 + 40 + 11)},
      {"AlphaMasksCutShort", Cut(alpha_masked.Bytes(), 14 + 40 + 15)},
      {"NonContiguousMask", scattered_mask.Bytes()},
      {"Jpeg", square_with(24, kBiJpeg)},
      {"JpegWithoutBitCount", square_with(0, kBiJpeg)},
      {"Png", square_with(24, kBiPng)},
      {"Compression7", square_with(24, 7)},
      {"Compression11", square_with(24, 11)},
      {"BitFieldsAt24Bits", square_with(24, kBiBitFields)},
      {"BitFieldsAt8Bits", square_with(8, kBiBitFields)},
      {"Rle8At4Bits", square_with(4, kBiRle8)},
      {"Rle8At24Bits", square_with(24, kBiRle8)},
      {"Rle4At8Bits", square_with(8, kBiRle4)},
      {"Os2Huffman1D", os2_with(1, 3)},
      {"Os2Rle24", os2_with(24, 4)},
      {"Os2BitFields", os2_with(16, kBiBitFields)},
      {"WidthZero", rle_sized(0, 2)},
      {"HeightZero", rle_sized(2, 0)},
      {"CoreWidthZero",
       BmpFile{.header_size = kCoreHeader, .width = 0, .pixels = {0, 0, 0}}.Bytes()},
      {"NegativeWidth", rle_sized(-2, 2)},
      {"HeightMinimum", rle_sized(1, std::numeric_limits<std::int32_t>::min())},
      {"TooManyPixels", rle_sized(16385, 16384)},
      {"TooManyPixelsTopDown", rle_sized(16384, -16385)},
      {"HugeRleHeader", rle_sized(100000, 100000)},
      {"HugeHeaderInTinyFile", Cut(BmpFile{.width = 100000, .height = 100000}.Bytes(), 100)},
      {"LargestPictureWithoutData",
       Cut(BmpFile{.width = 16384, .height = 16384, .bit_count = 32}.Bytes(), 100)},
      {"PixelsOneByteShort", Cut(square, 14 + 40 + 8 + 5)},
      {"InnerRowUnpadded", BmpFile{.height = 2, .pixels = Cat(Bgr({kRed}), Bgr({kRed}))}.Bytes()},
      // 256 entries implied, 4 present.
      {"PaletteRunsPastEnd",
       BmpFile{.bit_count = 8, .palette = kPalette, .pixels = {0, 0, 0, 0}, .off_bits = 0}.Bytes()},
      {"PaletteCutByFileEnd",
       Cut(BmpFile{.bit_count = 1, .palette = {kP0, kP1}}.Bytes(), 14 + 40 + 6)},
      {"OffBitsPastEnd", With32(square, kOffBitsAt, square.size() + 1)},
      {"Rle8OffBitsPastEnd", With32(rle_sized(2, 1), kOffBitsAt, rle_sized(2, 1).size() + 1)},
  };
  for (std::uint32_t size : {0, 8, 11, 13, 15, 65, 100, 125}) {
    cases.push_back(
        {"HeaderSize" + std::to_string(size),
         BmpFile{.header_size = size, .width = 2, .height = 2, .pixels = kSquareRows}.Bytes()});
  }
  for (std::uint16_t bits : {0, 3, 7, 48, 64}) {
    cases.push_back({"BitCount" + std::to_string(bits), square_with(bits, kBiRgb)});
  }
  return cases;
}

class DecodeBmpRefusalTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(DecodeBmpRefusalTest, ThrowsCantOpen) {
  try {
    DecodeBmp(GetParam().file);
    ADD_FAILURE() << "decoded";
  } catch (const LoadError& error) {
    EXPECT_STREQ(error.what(), messages::kCantOpenFile);
  }
}

INSTANTIATE_TEST_SUITE_P(Refusals, DecodeBmpRefusalTest, ::testing::ValuesIn(RefusedCases()),
                         kCaseName);

// Every prefix of every valid fixture, and each with any byte but the width
// and height changed to a few values, either decodes or is refused: no other
// exception, and (under a sanitiser) no stray read or write.
TEST(DecodeBmpDamageTest, DamagedFilesDecodeOrAreRefused) {
  std::vector<DecodeCase> all;
  for (auto cases :
       {HeaderCases(), DepthCases(), PaletteCases(), OffBitsCases(), BitFieldCases(), RleCases()}) {
    all.insert(all.end(), cases.begin(), cases.end());
  }
  for (const DecodeCase& c : all) {
    SCOPED_TRACE(c.name);
    const auto try_decode = [](const std::vector<std::uint8_t>& file) {
      try {
        const Bitmap bitmap = DecodeBmp(file);
        EXPECT_FALSE(bitmap.Empty());
      } catch (const LoadError&) {
      }
    };
    for (std::size_t size = 0; size < c.file.size(); ++size) try_decode(Cut(c.file, size));
    for (std::size_t at = 0; at < c.file.size(); ++at) {
      if (at >= kWidthAt && at < kHeightAt + 4) continue;  // sizes would make the pictures huge
      for (std::uint8_t value : {0x00, 0x03, 0x7F, 0x80, 0xFF}) {
        std::vector<std::uint8_t> file = c.file;
        file[at] = value;
        try_decode(file);
      }
    }
  }
}

}  // namespace
}  // namespace rastrel
