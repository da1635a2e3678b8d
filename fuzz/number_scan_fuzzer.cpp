// ScanDecimal and ScanHexadecimal against the C library's sscanf, strtoll and
// strtoull on the same text. sscanf is compared only where its result is
// defined: the value fits the argument's type. Beyond that ScanDecimal clamps
// and ScanHexadecimal saturates, which strtoll and strtoull show.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "core/int32_math.h"
#include "core/number_scan.h"
#include "fuzz/fuzz_check.h"

namespace {

// The sign that strtoll and strtoull read, after the same white space.
bool StartsNegative(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  return i < text.size() && text[i] == '-';
}

void CheckDecimal(std::string_view view, const std::string& text) {
  const std::optional<std::int32_t> scanned = rastrel::ScanDecimal(view);
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  const bool range_error = errno == ERANGE;
  int by_sscanf = 0;
  const int count = std::sscanf(text.c_str(), "%d", &by_sscanf);
  if (end == text.c_str()) {
    FUZZ_CHECK(!scanned);
    FUZZ_CHECK(count != 1);
    return;
  }
  FUZZ_CHECK(scanned);
  FUZZ_CHECK(*scanned == rastrel::ClampToInt32(value));  // LLONG_MIN/MAX on overflow clamp too
  const bool fits = !range_error && value >= std::numeric_limits<std::int32_t>::min() &&
                    value <= std::numeric_limits<std::int32_t>::max();
  if (fits) {
    FUZZ_CHECK(count == 1);
    FUZZ_CHECK(by_sscanf == *scanned);
  }
}

void CheckHexadecimal(std::string_view view, const std::string& text) {
  const std::optional<std::uint32_t> scanned = rastrel::ScanHexadecimal(view);
  char* end = nullptr;
  errno = 0;
  const unsigned long long value = std::strtoull(text.c_str(), &end, 16);
  const bool range_error = errno == ERANGE;
  unsigned int by_sscanf = 0;
  const int count = std::sscanf(text.c_str(), "%x", &by_sscanf);
  if (end == text.c_str()) {
    FUZZ_CHECK(!scanned);
    FUZZ_CHECK(count != 1);
    return;
  }
  FUZZ_CHECK(scanned);
  // strtoull negates a minus-signed magnitude modulo 2^64.
  const bool negative = StartsNegative(text);
  const unsigned long long magnitude = negative ? 0 - value : value;
  if (range_error || magnitude > std::numeric_limits<std::uint32_t>::max()) {
    FUZZ_CHECK(*scanned == 0xFFFFFFFFu);
    return;
  }
  const auto expected = static_cast<std::uint32_t>(negative ? 0 - magnitude : magnitude);
  FUZZ_CHECK(*scanned == expected);
  FUZZ_CHECK(count == 1);
  // A negated magnitude does not fit an unsigned int, so sscanf's value is
  // undefined then; ScanHexadecimal's is the modular one documented above.
  if (!negative || magnitude == 0) FUZZ_CHECK(by_sscanf == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The input is not NUL-terminated; the C functions need a copy that is.
  // They stop at an embedded NUL, and so do the scans, for which it is
  // neither white space nor a digit.
  const std::string_view view(reinterpret_cast<const char*>(data), size);
  const std::string text(view);
  CheckDecimal(view, text);
  CheckHexadecimal(view, text);
  return 0;
}
