#include "core/gra_writer.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bench/plain_gra_writer.h"
#include "core/conversion_settings.h"
#include "core/launch_arguments.h"
#include "core/messages.h"
#include "tests/core/memory_sink.h"
#include "tests/core/recording_hooks.h"
#include "tests/core/test_files.h"

namespace rastrel {
namespace {

using testing::MemorySink;
using testing::ReadFile;
using testing::RecordingMessages;
using testing::RecordingProgress;
using testing::TempDir;

constexpr ColorRef kRed = 0x0000FF;
constexpr ColorRef kBlue = 0xFF0000;
constexpr ColorRef kWhite = 0xFFFFFF;

Bitmap Picture(const std::vector<std::vector<ColorRef>>& rows) {
  if (rows.empty() || rows[0].empty()) return Bitmap();
  Bitmap picture(static_cast<std::int32_t>(rows[0].size()), static_cast<std::int32_t>(rows.size()));
  for (std::size_t y = 0; y < rows.size(); ++y) {
    for (std::size_t x = 0; x < rows[y].size(); ++x) {
      picture.SetPixel(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), rows[y][x]);
    }
  }
  return picture;
}

std::string Convert(const Bitmap& picture, const GraFormat& format) {
  MemorySink sink;
  RecordingProgress progress;
  RecordingMessages messages;
  EXPECT_TRUE(WriteGraStream(sink, picture, format, progress, messages, "x.gra"));
  EXPECT_TRUE(messages.texts.empty());
  EXPECT_TRUE(sink.closed);
  return sink.bytes;
}

std::string Header(int width, int height) {
  const std::string w = std::to_string(width), h = std::to_string(height);
  return "%Ngraph GRAF\r\n%Creator: Quillmarker\r\nI,5,0,0," + w + "," + h + ",10000\r\nV,5,0,0," +
         w + "," + h + ",1\r\nA,5,0,40,0,0,1000\r\n";
}

// Three by two pixels: red red white / white blue blue, in 1000 x 500 units.
const Bitmap& WorkedExample() {
  static const Bitmap picture = Picture({{kRed, kRed, kWhite}, {kWhite, kBlue, kBlue}});
  return picture;
}

struct ModeCase {
  const char* name;
  ColorMode mode;
  const char* body;
};

class WorkedExampleTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(WorkedExampleTest, WritesTheFileByteForByte) {
  const GraFormat format{
      .width = 1000, .height = 500, .key_color = kWhite, .color_mode = GetParam().mode};
  EXPECT_EQ(Convert(WorkedExample(), format),
            "%Ngraph GRAF\r\n"
            "%Creator: Quillmarker\r\n"
            "I,5,0,0,1000,500,10000\r\n"
            "V,5,0,0,1000,500,1\r\n"
            "A,5,0,40,0,0,1000\r\n" +
                std::string(GetParam().body));
}

INSTANTIATE_TEST_SUITE_P(Modes, WorkedExampleTest,
                         ::testing::Values(ModeCase{"Transparent", ColorMode::Transparent,
                                                    "G,3,255,0,0\r\n"
                                                    "B,5,0,0,666,250,1\r\n"
                                                    "G,3,0,0,255\r\n"
                                                    "B,5,333,250,999,500,1\r\n"
                                                    "E,0\r\n"},
                                           ModeCase{"DrawAll", ColorMode::DrawAll,
                                                    "G,3,255,0,0\r\n"
                                                    "B,5,0,0,666,250,1\r\n"
                                                    "G,3,255,255,255\r\n"
                                                    "B,5,666,0,999,250,1\r\n"
                                                    "B,5,0,250,333,500,1\r\n"
                                                    "G,3,0,0,255\r\n"
                                                    "B,5,333,250,999,500,1\r\n"
                                                    "E,0\r\n"},
                                           ModeCase{"Background", ColorMode::Background,
                                                    "G,3,255,255,255\r\n"
                                                    "B,5,0,0,1000,500,1\r\n"
                                                    "G,3,255,0,0\r\n"
                                                    "B,5,0,0,666,250,1\r\n"
                                                    "G,3,0,0,255\r\n"
                                                    "B,5,333,250,999,500,1\r\n"
                                                    "E,0\r\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct BodyCase {
  const char* name;
  std::vector<std::vector<ColorRef>> rows;
  GraFormat format;
  const char* body;  // what follows the header
};

class GraBodyTest : public ::testing::TestWithParam<BodyCase> {};

TEST_P(GraBodyTest, WritesTheBody) {
  const BodyCase& c = GetParam();
  EXPECT_EQ(Convert(Picture(c.rows), c.format), Header(c.format.width, c.format.height) + c.body);
}

constexpr GraFormat Format(ColorMode mode, int width = 1000, int height = 500) {
  return GraFormat{.width = width, .height = height, .key_color = kWhite, .color_mode = mode};
}

const BodyCase kBodyCases[] = {
    {"OnePixelCoversTheDrawing",
     {{kRed}},
     Format(ColorMode::DrawAll),
     "G,3,255,0,0\r\nB,5,0,0,1000,500,1\r\nE,0\r\n"},
    {"OneKeyPixelLeftOut", {{kWhite}}, Format(ColorMode::Transparent), "E,0\r\n"},
    {"OnlyKeyPixelsWithBackground",
     {{kWhite, kWhite}, {kWhite, kWhite}},
     Format(ColorMode::Background),
     "G,3,255,255,255\r\nB,5,0,0,1000,500,1\r\nE,0\r\n"},
    {"RowsOfOneColourShareAColourLine",
     {{kRed, kRed}, {kRed, kRed}},
     Format(ColorMode::DrawAll),
     "G,3,255,0,0\r\nB,5,0,0,1000,250,1\r\nB,5,0,250,1000,500,1\r\nE,0\r\n"},
    {"LastPixelIsOneCellWide",
     {{kRed, kRed, kBlue}},
     Format(ColorMode::DrawAll),
     "G,3,255,0,0\r\nB,5,0,0,666,500,1\r\nG,3,0,0,255\r\nB,5,666,0,999,500,1\r\nE,0\r\n"},
    {"LeftOutKeyKeepsTheCurrentColour",
     {{kRed, kWhite, kRed}},
     Format(ColorMode::Transparent),
     "G,3,255,0,0\r\nB,5,0,0,333,500,1\r\nB,5,666,0,999,500,1\r\nE,0\r\n"},
    {"BackgroundColourCountsAsCurrent",
     {{kWhite, kRed}},
     Format(ColorMode::Background),
     "G,3,255,255,255\r\nB,5,0,0,1000,500,1\r\nG,3,255,0,0\r\nB,5,500,0,1000,500,1\r\nE,0\r\n"},
    {"ComponentsInRedGreenBlueOrder",
     {{0x000080FF}},
     Format(ColorMode::DrawAll),
     "G,3,255,128,0\r\nB,5,0,0,1000,500,1\r\nE,0\r\n"},
    {"BlackFirstStillGetsAColourLine",
     {{0}},
     Format(ColorMode::DrawAll),
     "G,3,0,0,0\r\nB,5,0,0,1000,500,1\r\nE,0\r\n"},
    {"PictureWiderThanTheDrawing",
     {{kRed, kBlue, kRed}},
     Format(ColorMode::DrawAll, 2, 5),
     "G,3,255,0,0\r\nB,5,0,0,0,5,1\r\nG,3,0,0,255\r\nB,5,0,0,0,5,1\r\n"
     "G,3,255,0,0\r\nB,5,0,0,0,5,1\r\nE,0\r\n"},
    {"NegativeSize",
     {{kRed, kBlue}},
     Format(ColorMode::DrawAll, -1000, -2147483647 - 1),
     "G,3,255,0,0\r\nB,5,0,0,-500,-2147483648,1\r\nG,3,0,0,255\r\n"
     "B,5,-500,0,-1000,-2147483648,1\r\nE,0\r\n"},
    {"NoPicture",
     {},
     Format(ColorMode::Background),
     "G,3,255,255,255\r\nB,5,0,0,1000,500,1\r\nE,0\r\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, GraBodyTest, ::testing::ValuesIn(kBodyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GraWriterTest, KeyColourMakesNoDifferenceWhenDrawingAll) {
  GraFormat format = Format(ColorMode::DrawAll);
  const std::string with_white = Convert(WorkedExample(), format);
  format.key_color = kRed;
  EXPECT_EQ(Convert(WorkedExample(), format), with_white);
}

std::string PlainGra(const Bitmap& picture, const GraFormat& format) {
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* memory = open_memstream(&text, &size);
  WritePlainGra(memory, picture, format);
  std::fclose(memory);
  std::string result(text, size);
  std::free(text);
  return result;
}

// The writer's tables and fixed-size copies against the plain algorithm, on
// pictures of few colours (long runs, repeated colours across rows) and of
// many, with sizes that do and do not divide, zero cells and negative sizes.
TEST(GraWriterTest, MatchesThePlainAlgorithmOnRandomPictures) {
  std::mt19937 random(20261211);
  const ColorRef palette[] = {0, kWhite, kRed, kBlue, 0x00808080, 0x00123456};
  const int sizes[] = {0, 1, 7, 1000, 99999, -12345, 2147483647, -2147483647 - 1};
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    const int w = 1 + static_cast<int>(random() % 40), h = 1 + static_cast<int>(random() % 6);
    const bool many_colours = round % 3 == 0;
    Bitmap picture(w, h);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        picture.SetPixel(x, y, many_colours ? random() & 0xFFFFFF : palette[random() % 6]);
      }
    }
    const GraFormat format{.width = sizes[random() % 8],
                           .height = sizes[random() % 8],
                           .key_color = palette[random() % 6],
                           .color_mode = static_cast<ColorMode>(random() % 3)};
    EXPECT_EQ(Convert(picture, format), PlainGra(picture, format));
  }
}

// Beyond the columns it keeps formatted, the writer formats edges as it goes.
TEST(GraWriterTest, WidePictureMatchesThePlainAlgorithm) {
  Bitmap picture(200000, 1, kWhite);
  for (int x : {0, 65535, 65536, 65537, 131072, 199999}) picture.SetPixel(x, 0, kRed);
  for (int x = 199990; x < 199995; ++x) picture.SetPixel(x, 0, kBlue);
  const GraFormat format = Format(ColorMode::Transparent, 2147483647, 10);
  EXPECT_EQ(Convert(picture, format), PlainGra(picture, format));
}

// A picture whose GRA text takes several of the writer's buffers.
Bitmap Checkerboard(int width, int height) {
  Bitmap picture(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) picture.SetPixel(x, y, (x + y) % 2 ? kRed : kBlue);
  }
  return picture;
}

struct FaultCase {
  const char* name;
  std::size_t fail_at;  // bytes that arrive; counted from the end when `from_end`
  bool from_end;
  bool close_fails;
  friend void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }
};

class WriteFaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(WriteFaultTest, ReportsOnceAndStillEndsTheFile) {
  const Bitmap picture = Checkerboard(500, 200);  // some 4 MB of text
  const std::size_t full_size = Convert(picture, Format(ColorMode::DrawAll)).size();
  const FaultCase& c = GetParam();
  MemorySink sink(c.from_end ? full_size - c.fail_at : c.fail_at, c.close_fails);
  RecordingProgress progress;
  RecordingMessages messages;
  EXPECT_FALSE(
      WriteGraStream(sink, picture, Format(ColorMode::DrawAll), progress, messages, "out.gra"));
  EXPECT_EQ(messages.texts, std::vector<std::string>{messages::kWriteError});
  EXPECT_EQ(messages.files, std::vector<std::string>{"out.gra"});
  EXPECT_TRUE(sink.closed);
  EXPECT_EQ(sink.last_write.substr(sink.last_write.size() - 5), "E,0\r\n");
  EXPECT_EQ(progress.calls.back(), "position 0");
  const auto steps = std::count(progress.calls.begin(), progress.calls.end(), "step");
  if (!c.from_end && !c.close_fails) {
    EXPECT_LT(steps, 200) << "the scan went on after the failure";
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, WriteFaultTest,
                         ::testing::Values(FaultCase{"InTheHeader", 0, false, false},
                                           FaultCase{"InTheFirstBuffer", 70, false, false},
                                           FaultCase{"InALaterBuffer", 3'000'000, false, false},
                                           FaultCase{"InTheEndLine", 3, true, false},
                                           FaultCase{"AtClose", 0, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

class WriteGraFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConversionSettings();
    ConversionSettings.SourceBitmap = std::make_unique<Bitmap>(WorkedExample());
    ConversionSettings.GraWidth = 1000;
    ConversionSettings.GraHeight = 500;
  }
  void TearDown() override {
    ResetConversionSettings();
    SetProcessArguments({});
  }
  void Launch(const std::string& script) {
    SetProcessArguments({"rastrel", "0", "1000", "0", "1000", script});
    ReadLaunchArguments({"0", "1000", "0", "1000", script});
  }

  TempDir dir;
  RecordingProgress progress;
  RecordingMessages messages;
};

TEST_F(WriteGraFileTest, WritesTheFileAndStepsOnceARow) {
  const std::string path = dir.File("photo.gra");
  WriteGraFile(path, progress, messages);
  EXPECT_TRUE(messages.texts.empty());
  EXPECT_EQ(ReadFile(path), Convert(WorkedExample(), Format(ColorMode::Transparent)));
  EXPECT_EQ(progress.calls,
            (std::vector<std::string>{"step size 1", "max 2", "step", "step", "position 0"}));
}

TEST_F(WriteGraFileTest, ReplacesAnExistingFile) {
  const std::string path = dir.File("photo.gra");
  testing::WriteFile(path, std::string(100000, 'x'));
  WriteGraFile(path, progress, messages);
  EXPECT_EQ(ReadFile(path), Convert(WorkedExample(), Format(ColorMode::Transparent)));
}

TEST_F(WriteGraFileTest, UnopenablePathWritesNothingAndNoScript) {
  const std::string script = dir.File("merge.ngp");
  Launch(script);
  const std::string path = dir.File("missing/photo.gra");
  WriteGraFile(path, progress, messages);
  EXPECT_EQ(messages.texts, std::vector<std::string>{messages::kCantOpenGraFile});
  EXPECT_EQ(messages.files, std::vector<std::string>{path});
  EXPECT_EQ(progress.calls, (std::vector<std::string>{"step size 1", "max 2"}));
  EXPECT_FALSE(std::filesystem::exists(script));
}

TEST_F(WriteGraFileTest, FullDiskIsReportedOnceAndTheScriptFollows) {
  const std::string script = dir.File("merge.ngp");
  Launch(script);
  WriteGraFile("/dev/full", progress, messages);
  EXPECT_EQ(messages.texts, std::vector<std::string>{messages::kWriteError});
  EXPECT_EQ(progress.calls.back(), "position 0");
  EXPECT_NE(ReadFile(script).find("merge::file=/dev/full\r\n"), std::string::npos);
}

TEST_F(WriteGraFileTest, LaunchedSaveEndsWithTheScript) {
  const std::string script = dir.File("merge.ngp");
  Launch(script);
  const std::string path = dir.File("photo.gra");
  WriteGraFile(path, progress, messages);
  EXPECT_TRUE(messages.texts.empty());
  EXPECT_NE(ReadFile(script).find("merge::file=" + path + "\r\ndel rectangle:!\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace rastrel
