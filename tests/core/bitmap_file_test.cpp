#include "core/bitmap_file.h"

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/load_error.h"
#include "core/messages.h"
#include "tests/core/bmp_builder.h"
#include "tests/core/test_files.h"

namespace rastrel {
namespace {

using namespace rastrel::testing;  // the BMP builder

constexpr ColorRef kRed = MakeColorRef(0xFF, 0, 0);
constexpr ColorRef kOdd = MakeColorRef(0x12, 0x34, 0x56);

std::string Text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

// Runs ReadBitmapFile and returns its error message, or "" when it loads.
std::string ErrorOf(const std::string& path) {
  try {
    ReadBitmapFile(path);
    return "";
  } catch (const LoadError& error) {
    return error.what();
  }
}

enum class Entry { kMissing, kDirectory, kFile };

struct FailingCase {
  std::string name;
  Entry entry;
  std::string contents;
  std::string expected;
  friend void PrintTo(const FailingCase& c, std::ostream* os) { *os << c.name; }
};

class ReadBitmapFileFailureTest : public ::testing::TestWithParam<FailingCase> {};

TEST_P(ReadBitmapFileFailureTest, ShowsMessage) {
  const FailingCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.File("picture.bmp");
  if (c.entry == Entry::kDirectory) std::filesystem::create_directory(path);
  if (c.entry == Entry::kFile) WriteFile(path, c.contents);
  EXPECT_EQ(ErrorOf(path), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadBitmapFileFailureTest,
    ::testing::Values(
        FailingCase{"Missing", Entry::kMissing, "", messages::kCantOpenFile},
        // A directory opens for reading on Linux but cannot be read.
        FailingCase{"Directory", Entry::kDirectory, "", messages::kCantOpenFile},
        FailingCase{"Empty", Entry::kFile, "", messages::kIllegalFileFormat},
        FailingCase{"OneByte", Entry::kFile, "B", messages::kIllegalFileFormat},
        FailingCase{"LowerCaseBm", Entry::kFile, Text(BmpFile{}.Bytes()).replace(0, 2, "bm"),
                    messages::kIllegalFileFormat},
        FailingCase{"Png", Entry::kFile, "\x89PNG\r\n\x1a\n", messages::kIllegalFileFormat},
        FailingCase{"BmOnly", Entry::kFile, "BM", messages::kCantOpenFile},
        FailingCase{"BmThenGarbage", Entry::kFile, "BM\x01\x02 this is no bitmap at all",
                    messages::kCantOpenFile},
        FailingCase{"BmCutShort", Entry::kFile, Text(BmpFile{.width = 2}.Bytes()).substr(0, 59),
                    messages::kCantOpenFile}),
    [](const auto& info) { return info.param.name; });

TEST(ReadBitmapFileTest, ReadsPicture) {
  TempDir dir;
  const std::string path = dir.File("picture.bmp");
  // Bytes after the picture are not part of it and do not matter.
  WriteFile(
      path,
      Text(BmpFile{.width = 2, .height = -2, .pixels = Rows({Bgr({kRed, kOdd}), Bgr({kOdd, kRed})})}
               .Bytes()) +
          "trailing bytes");
  const Bitmap bitmap = ReadBitmapFile(path);
  ASSERT_EQ(bitmap.Width(), 2);
  ASSERT_EQ(bitmap.Height(), 2);
  EXPECT_EQ(bitmap.Pixel(0, 0), kRed);
  EXPECT_EQ(bitmap.Pixel(1, 0), kOdd);
  EXPECT_EQ(bitmap.Pixel(0, 1), kOdd);
  EXPECT_EQ(bitmap.Pixel(1, 1), kRed);
}

}  // namespace
}  // namespace rastrel
