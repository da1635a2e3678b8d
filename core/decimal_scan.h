#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace rastrel {

// Reads a number from the start of `text` the way a formatted scan with "%d"
// does: leading white space, an optional sign, then digits up to the first
// character that is not one ("120mm" is 120). No digits: no value. A value
// beyond the 32-bit range is clamped into it instead of being undefined.
std::optional<std::int32_t> ScanDecimal(std::string_view text);

}  // namespace rastrel
