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

// The same for "%x": white space, an optional sign, an optional 0x or 0X,
// then hexadecimal digits of either case ("ff0000" is 0xFF0000). A minus sign
// negates modulo 2^32 ("-1" is 0xFFFFFFFF); a magnitude beyond 32 bits reads
// as 0xFFFFFFFF whatever the sign, as the Windows runtime's scan gives.
std::optional<std::uint32_t> ScanHexadecimal(std::string_view text);

}  // namespace rastrel
