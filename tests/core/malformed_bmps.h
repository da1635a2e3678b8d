#pragma once

// What opening each file of make-malformed-bmps's corpus gives, for the file
// reader's tests and the window's. Every file the generator writes must be
// listed here, and every file listed must be written.
#include <cstdint>
#include <vector>

#include "core/messages.h"

namespace rastrel::testing {

struct MalformedBmp {
  const char* name;     // the file's name without ".bmp"
  const char* message;  // what it is refused with; null when it opens
  std::int32_t width = 0;
  std::int32_t height = 0;
  // What the window says instead when it cannot show a picture that opens.
  const char* window_message = nullptr;
};

inline constexpr const char* kOpens = nullptr;
inline constexpr const char* kCant = messages::kCantOpenFile;
inline constexpr const char* kIllegal = messages::kIllegalFileFormat;

inline const std::vector<MalformedBmp>& MalformedBmps() {
  static const std::vector<MalformedBmp> table = {
      // Fewer than two bytes have no signature to tell; from "BM" on, a file
      // cut anywhere before its last row's pixels cannot be read.
      {"truncated-at-0", kIllegal},
      {"truncated-at-1", kIllegal},
      {"truncated-at-2", kCant},
      {"truncated-at-6", kCant},
      {"truncated-at-10", kCant},
      {"truncated-at-13", kCant},
      {"truncated-at-14", kCant},
      {"truncated-at-17", kCant},
      {"truncated-at-18", kCant},
      {"truncated-at-22", kCant},
      {"truncated-at-30", kCant},
      {"truncated-at-53", kCant},
      {"truncated-core-header", kCant},
      {"truncated-os2-header", kCant},
      {"truncated-v5-header", kCant},
      {"truncated-masks", kCant},
      {"truncated-palette", kCant},
      {"truncated-pixels-one-byte-short", kCant},
      {"truncated-pixels-half", kCant},
      {"truncated-pixels-none", kCant},
      {"truncated-pixels-8bit-none", kCant},
      {"truncated-last-row-padding", kOpens, 3, 2},
      {"truncated-inner-row-padding", kCant},

      // Within 16384 x 16384 pixels in all, and only with the data for them.
      {"size-100000x100000-in-tiny-file", kCant},
      {"size-100000x100000-rle8", kCant},
      {"size-16384x16384-without-pixels", kCant},
      {"size-16385x16384-rle8", kCant},
      {"size-268435457x1-rle8", kCant},
      {"size-16384x16384-rle8-ends-at-once", kOpens, 16384, 16384},
      {"size-67108864x1-rle8", kOpens, 67108864, 1, kCant},
      {"width-0", kCant},
      {"height-0", kCant},
      {"width-negative", kCant},
      {"width-int32-min", kCant},
      {"height-negative-is-top-down", kOpens, 4, 3},
      {"height-minus-1", kOpens, 4, 1},
      {"height-int32-min", kCant},
      {"height-int32-min-rle8", kCant},
      {"height-int32-max", kCant},
      {"core-header-width-0", kCant},
      {"core-header-height-0", kCant},
      {"core-header-height-65535", kCant},

      {"bit-count-0", kCant},
      {"bit-count-3", kCant},
      {"bit-count-5", kCant},
      {"bit-count-7", kCant},
      {"bit-count-9", kCant},
      {"bit-count-12", kCant},
      {"bit-count-15", kCant},
      {"bit-count-31", kCant},
      {"bit-count-48", kCant},
      {"bit-count-64", kCant},
      {"bit-count-65535", kCant},
      {"core-header-bit-count-3", kCant},

      // Indices past the palette's end are black.
      {"palette-index-past-8bit-palette", kOpens, 4, 3},
      {"palette-index-past-4bit-palette", kOpens, 4, 1},
      {"palette-index-past-1bit-palette", kOpens, 8, 1},
      {"palette-missing-8bit", kOpens, 4, 1},
      {"palette-index-past-rle8-palette", kOpens, 4, 1},

      // Compressed data is clipped to its row and picture, and may stop
      // anywhere: what it leaves is palette entry 0.
      {"rle8-run-overruns-row", kOpens, 4, 2},
      {"rle8-run-overruns-picture", kOpens, 4, 2},
      {"rle8-literal-overruns-row", kOpens, 2, 2},
      {"rle8-literal-overruns-file", kOpens, 4, 2},
      {"rle8-delta-past-right-edge", kOpens, 4, 2},
      {"rle8-delta-past-last-row", kOpens, 4, 2},
      {"rle8-delta-cut-by-file-end", kOpens, 4, 2},
      {"rle8-escape-cut-by-file-end", kOpens, 4, 2},
      {"rle8-no-end-of-bitmap", kOpens, 4, 2},
      {"rle8-end-of-lines-past-picture", kOpens, 4, 2},
      {"rle8-no-data", kOpens, 4, 2},
      {"rle8-top-down", kOpens, 4, 2},
      {"rle4-run-overruns-row", kOpens, 4, 2},
      {"rle4-run-overruns-picture", kOpens, 4, 2},
      {"rle4-literal-overruns-row", kOpens, 2, 1},
      {"rle4-literal-overruns-file", kOpens, 4, 2},
      {"rle4-delta-past-last-row", kOpens, 4, 2},
      {"rle4-no-end-of-bitmap", kOpens, 4, 2},
      {"rle8-at-4-bits", kCant},
      {"rle8-at-24-bits", kCant},
      {"rle4-at-8-bits", kCant},

      // A 41-byte header reads as a cut OS/2 one, whose pixels then lack a byte.
      {"header-size-0", kCant},
      {"header-size-1", kCant},
      {"header-size-4", kCant},
      {"header-size-11", kCant},
      {"header-size-13", kCant},
      {"header-size-15", kCant},
      {"header-size-41", kCant},
      {"header-size-65", kCant},
      {"header-size-100", kCant},
      {"header-size-125", kCant},
      {"header-size-2147483647", kCant},
      {"header-size-4294967295", kCant},
      {"header-size-past-file-end", kCant},
      {"header-size-16-os2", kOpens, 4, 3},
      // An offset inside the headers is taken to mean "right after them".
      {"offset-0", kOpens, 4, 3},
      {"offset-inside-header", kOpens, 4, 3},
      {"offset-past-file-end", kCant},
      {"offset-at-file-end", kCant},
      {"offset-huge", kCant},
      {"offset-into-pixels", kCant},
      {"offset-huge-rle8", kCant},

      {"masks-overlap", kOpens, 4, 2},
      {"masks-empty", kOpens, 4, 2},
      {"masks-not-contiguous", kCant},
      {"masks-not-contiguous-in-v5-header", kCant},
      {"masks-all-32-bits", kOpens, 4, 2},
      {"masks-wider-than-16-bits", kOpens, 4, 2},
      {"masks-at-24-bits", kCant},
      {"masks-at-8-bits", kCant},
      {"masks-in-os2-header", kCant},  // compression 3 is Huffman 1D there
      {"masks-alpha-cut-by-file-end", kCant},

      // A palette that would run past the file; one bounded by the offset.
      {"colors-used-huge-pixels-after-palette", kCant},
      {"colors-used-huge-with-offset", kOpens, 4, 3},
      {"colors-used-300-at-8-bits", kOpens, 4, 1},
      {"colors-used-17-at-4-bits", kOpens, 2, 1},
      {"colors-used-huge-at-24-bits", kCant},

      {"compression-4", kCant},
      {"compression-5", kCant},
      {"compression-7", kCant},
      {"compression-11", kCant},
      {"compression-4294967295", kCant},

      {"planes-0", kOpens, 4, 3},
      {"file-size-field-wrong", kOpens, 4, 3},
      {"signature-lower-case", kIllegal},
      {"signature-reversed", kIllegal},
      {"trailing-garbage", kOpens, 4, 3},
  };
  return table;
}

}  // namespace rastrel::testing
