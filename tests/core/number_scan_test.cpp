#include "core/number_scan.h"

#include <cstdint>
#include <limits>
#include <optional>

#include <gtest/gtest.h>

namespace rastrel {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

struct DecimalCase {
  const char* text;
  std::optional<std::int32_t> value;
};

class ScanDecimalTest : public ::testing::TestWithParam<DecimalCase> {};

TEST_P(ScanDecimalTest, ReadsAsPercentD) {
  EXPECT_EQ(ScanDecimal(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScanDecimalTest,
    ::testing::Values(DecimalCase{"120", 120}, DecimalCase{"120mm", 120},
                      DecimalCase{"  \t\n-42", -42}, DecimalCase{"+7", 7}, DecimalCase{"007", 7},
                      DecimalCase{"-0", 0}, DecimalCase{"", std::nullopt},
                      DecimalCase{"mm120", std::nullopt}, DecimalCase{"-", std::nullopt},
                      DecimalCase{"- 5", std::nullopt}, DecimalCase{"+-5", std::nullopt},
                      DecimalCase{"0x1f", 0}, DecimalCase{"12abc", 12},
                      DecimalCase{"2147483647", kMax}, DecimalCase{"2147483648", kMax},
                      DecimalCase{"-2147483648", kMin}, DecimalCase{"-2147483649", kMin},
                      DecimalCase{"99999999999999999999999", kMax},
                      DecimalCase{"-99999999999999999999999", kMin}));

struct HexadecimalCase {
  const char* text;
  std::optional<std::uint32_t> value;
};

class ScanHexadecimalTest : public ::testing::TestWithParam<HexadecimalCase> {};

TEST_P(ScanHexadecimalTest, ReadsAsPercentX) {
  EXPECT_EQ(ScanHexadecimal(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScanHexadecimalTest,
    ::testing::Values(HexadecimalCase{"ffffff", 0xFFFFFF}, HexadecimalCase{"ff", 0x0000FF},
                      HexadecimalCase{"FF", 0x0000FF}, HexadecimalCase{"ff0000", 0xFF0000},
                      HexadecimalCase{"0", 0}, HexadecimalCase{"aBc", 0xABC},
                      HexadecimalCase{" \t+1f", 0x1F}, HexadecimalCase{"0x1f", 0x1F},
                      HexadecimalCase{"0X1F", 0x1F}, HexadecimalCase{"0x", 0},
                      HexadecimalCase{"0xg", 0}, HexadecimalCase{"12xyz", 0x12},
                      HexadecimalCase{"-1", 0xFFFFFFFF}, HexadecimalCase{"-ff", 0xFFFFFF01},
                      HexadecimalCase{"ffffffff", 0xFFFFFFFF},
                      HexadecimalCase{"100000000", 0xFFFFFFFF},
                      HexadecimalCase{"-100000000", 0xFFFFFFFF}, HexadecimalCase{"", std::nullopt},
                      HexadecimalCase{"x5", std::nullopt}, HexadecimalCase{"g", std::nullopt},
                      HexadecimalCase{"-", std::nullopt}, HexadecimalCase{"- f", std::nullopt}));

}  // namespace
}  // namespace rastrel
