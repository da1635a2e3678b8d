// The bitmap decoder on any bytes: a picture within the limits whose every
// pixel was written, or LoadError with the Open command's message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "core/bitmap.h"
#include "core/bmp_decoder.h"
#include "core/load_error.h"
#include "core/messages.h"
#include "fuzz/fuzz_check.h"

// Fresh memory reads as 0xBE bytes however large the block, so a pixel the
// decoder left unwritten has a nonzero top byte, which no decoded colour has.
extern "C" const char* __asan_default_options() { return "max_malloc_fill_size=2147483647"; }

namespace {

// Inputs whose header asks for more pixels than this are skipped. A few bytes
// of RLE can ask for a gigabyte, and filling large pictures (and checking
// them) left time for only a few hundred inputs a second; the decoding does
// not change with the size beyond this, and the size limit itself is covered
// by the decoder's tests.
constexpr std::int64_t kMaxFuzzedPixels = std::int64_t{1} << 16;

std::int64_t DeclaredPixels(std::span<const std::uint8_t> file) {
  if (file.size() < 26) return 0;
  const auto u16 = [&](std::size_t at) { return std::int64_t{file[at]} | file[at + 1] << 8; };
  const auto i32 = [&](std::size_t at) {
    return static_cast<std::int64_t>(static_cast<std::int32_t>(
        std::uint32_t(file[at]) | std::uint32_t(file[at + 1]) << 8 |
        std::uint32_t(file[at + 2]) << 16 | std::uint32_t(file[at + 3]) << 24));
  };
  if (u16(14) == 12 && u16(16) == 0) return u16(18) * u16(20);  // OS/2 1.x: 16-bit sizes
  return std::llabs(i32(18)) * std::llabs(i32(22));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  if (DeclaredPixels(file) > kMaxFuzzedPixels) return 0;
  try {
    const rastrel::Bitmap picture = rastrel::DecodeBmp(file);
    FUZZ_CHECK(!picture.Empty());
    FUZZ_CHECK(picture.Width() >= 1 && picture.Height() >= 1);
    FUZZ_CHECK(std::int64_t{picture.Width()} * picture.Height() <= rastrel::kMaxBitmapPixels);
    for (std::int32_t y = 0; y < picture.Height(); ++y) {
      const rastrel::ColorRef* row = picture.Row(y);
      for (std::int32_t x = 0; x < picture.Width(); ++x) FUZZ_CHECK((row[x] >> 24) == 0);
    }
  } catch (const rastrel::LoadError& error) {
    FUZZ_CHECK(std::strcmp(error.what(), rastrel::messages::kCantOpenFile) == 0);
  }
  return 0;
}
