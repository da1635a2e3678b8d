#include "core/number_scan.h"

#include <cstddef>

#include "core/int32_math.h"

namespace rastrel {
namespace {

// The white space of the C locale, which "%d" and "%x" skip.
bool IsScanSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigitValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Skips white space and an optional sign; true when the sign was a minus.
bool ScanSign(std::string_view text, std::size_t& i) {
  while (i < text.size() && IsScanSpace(text[i])) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) return text[i++] == '-';
  return false;
}

}  // namespace

std::optional<std::int32_t> ScanDecimal(std::string_view text) {
  std::size_t i = 0;
  const bool negative = ScanSign(text, i);
  if (i == text.size() || !IsDigit(text[i])) return std::nullopt;

  // Past 2^31 the result is clamped anyway, so stop accumulating there.
  constexpr std::int64_t kSaturated = std::int64_t{1} << 32;
  std::int64_t magnitude = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    if (magnitude < kSaturated) magnitude = magnitude * 10 + (text[i] - '0');
  }
  return ClampToInt32(negative ? -magnitude : magnitude);
}

std::optional<std::uint32_t> ScanHexadecimal(std::string_view text) {
  std::size_t i = 0;
  const bool negative = ScanSign(text, i);
  if (i == text.size() || HexDigitValue(text[i]) < 0) return std::nullopt;
  // "0x" is a prefix only when a digit follows; "0xg" reads as the 0 alone.
  if (text[i] == '0' && i + 2 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
      HexDigitValue(text[i + 2]) >= 0) {
    i += 2;
  }

  constexpr std::uint64_t kSaturated = std::uint64_t{1} << 32;
  std::uint64_t magnitude = 0;
  for (; i < text.size() && HexDigitValue(text[i]) >= 0; ++i) {
    if (magnitude < kSaturated) magnitude = magnitude * 16 + HexDigitValue(text[i]);
  }
  if (magnitude >= kSaturated) return 0xFFFFFFFFu;
  const auto value = static_cast<std::uint32_t>(magnitude);
  return negative ? 0u - value : value;
}

}  // namespace rastrel
