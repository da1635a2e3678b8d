#include "core/bitmap_file.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/load_error.h"
#include "core/messages.h"
#include "tests/core/bmp_builder.h"
#include "tests/core/interrupter.h"
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

enum class Entry { kMissing, kDirectory, kFile, kFifo };

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
  if (c.entry == Entry::kFifo) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  }
  const HangGuard guard;
  EXPECT_EQ(ErrorOf(path), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadBitmapFileFailureTest,
    ::testing::Values(
        FailingCase{"Missing", Entry::kMissing, "", messages::kCantOpenFile},
        // A directory opens for reading on Linux but cannot be read.
        FailingCase{"Directory", Entry::kDirectory, "", messages::kCantOpenFile},
        FailingCase{"Empty", Entry::kFile, "", messages::kIllegalFileFormat},
        // Nobody writes to it: it reads as empty rather than waiting for ever.
        FailingCase{"NamedPipe", Entry::kFifo, "", messages::kIllegalFileFormat},
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

// Through a pipe whose writer is slow, so that reads wait, while signals
// keep interrupting them: the reads are taken up again, not reported.
TEST(ReadBitmapFileTest, ReadsAPipeWhoseReadsAreInterrupted) {
  const std::vector<std::uint8_t> bytes =
      BmpFile{.width = 300, .height = 300, .pixels = std::vector<std::uint8_t>(300 * 900, 0x56)}
          .Bytes();
  // A writer left behind gets EPIPE rather than ending the test program.
  const auto sigpipe = std::signal(SIGPIPE, SIG_IGN);
  int pipe_ends[2];
  ASSERT_EQ(::pipe(pipe_ends), 0);
  std::thread writer([&] {
    constexpr std::size_t kChunk = 4096;
    for (std::size_t at = 0; at < bytes.size(); at += kChunk) {
      const std::size_t size = std::min(kChunk, bytes.size() - at);
      if (::write(pipe_ends[1], bytes.data() + at, size) != static_cast<ssize_t>(size)) break;
      std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
    ::close(pipe_ends[1]);
  });
  const HangGuard guard;
  const int signals_before = Interrupter::Signals();
  std::string error;
  Bitmap bitmap;
  {
    const Interrupter interrupter;
    try {
      bitmap = ReadBitmapFile("/dev/fd/" + std::to_string(pipe_ends[0]));
    } catch (const LoadError& e) {
      error = e.what();
    }
  }
  ::close(pipe_ends[0]);
  writer.join();
  std::signal(SIGPIPE, sigpipe);
  EXPECT_EQ(error, "");
  EXPECT_EQ(bitmap.Width(), 300);
  EXPECT_EQ(bitmap.Pixel(299, 299), MakeColorRef(0x56, 0x56, 0x56));
  EXPECT_GT(Interrupter::Signals(), signals_before);
}

}  // namespace
}  // namespace rastrel
