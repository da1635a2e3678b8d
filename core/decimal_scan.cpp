#include "core/decimal_scan.h"

#include <cstddef>

#include "core/int32_math.h"

namespace rastrel {
namespace {

// The white space of the C locale, which "%d" skips.
bool IsScanSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<std::int32_t> ScanDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsScanSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size() || !IsDigit(text[i])) return std::nullopt;

  // Past 2^31 the result is clamped anyway, so stop accumulating there.
  constexpr std::int64_t kSaturated = std::int64_t{1} << 32;
  std::int64_t magnitude = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    if (magnitude < kSaturated) magnitude = magnitude * 10 + (text[i] - '0');
  }
  return ClampToInt32(negative ? -magnitude : magnitude);
}

}  // namespace rastrel
