#include "core/launch_arguments.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/conversion_settings.h"
#include "core/load_error.h"
#include "core/messages.h"

namespace rastrel {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetConversionSettings(); }
  void TearDown() override { ResetConversionSettings(); }
};

TEST_F(SettingsTest, DefaultsAndReset) {
  Settings& s = ConversionSettings;
  s.GraWidth = 1;
  s.KeyColor = 0;
  s.LaunchedWithRect = true;
  s.ColorMode = ColorMode::DrawAll;
  s.SourceBitmap = std::make_unique<Bitmap>(2, 2);
  ResetConversionSettings();
  EXPECT_EQ(s.GraWidth, 10000);
  EXPECT_EQ(s.GraHeight, 10000);
  EXPECT_EQ(s.RectWidth, 10000);
  EXPECT_EQ(s.RectHeight, 10000);
  EXPECT_EQ(s.LeftMargin, 0);
  EXPECT_EQ(s.TopMargin, 0);
  EXPECT_EQ(s.KeyColor, 0xFFFFFFu);
  EXPECT_FALSE(s.LaunchedWithRect);
  EXPECT_FALSE(s.PickMode);
  EXPECT_EQ(s.SourceBitmap, nullptr);
  EXPECT_EQ(s.ColorMode, ColorMode::Transparent);
  EXPECT_EQ(s.RectAdjust, RectAdjust::Width);
  EXPECT_EQ(s.RectAction, RectAction::Delete);
  EXPECT_TRUE(s.KeepRatio);
}

struct LaunchCase {
  const char* name;
  std::vector<std::string> arguments;
  bool launched;
  std::int32_t left, width, top, height;
};

class ReadLaunchArgumentsTest : public SettingsTest,
                                public ::testing::WithParamInterface<LaunchCase> {};

TEST_P(ReadLaunchArgumentsTest, SetsTheRectangle) {
  const LaunchCase& c = GetParam();
  ReadLaunchArguments(c.arguments);
  const Settings& s = ConversionSettings;
  EXPECT_EQ(s.LaunchedWithRect, c.launched);
  EXPECT_EQ(s.LeftMargin, c.left);
  EXPECT_EQ(s.RectWidth, c.width);
  EXPECT_EQ(s.TopMargin, c.top);
  EXPECT_EQ(s.RectHeight, c.height);
}

const LaunchCase kLaunchCases[] = {
    {"NoArguments", {}, false, 0, 10000, 0, 10000},
    {"OneArgument", {"photo.bmp"}, false, 0, 10000, 0, 10000},
    {"FourArguments", {"1", "2", "3", "4"}, false, 0, 10000, 0, 10000},
    {"SixArguments", {"1", "2", "3", "4", "s", "x"}, false, 0, 10000, 0, 10000},
    {"EdgesInEitherOrder", {"500", "200", "300", "900", "s"}, true, 200, 300, 300, 600},
    {"NegativeEdgeAndFlatRectangle", {"-100", "50", "0", "0", "s"}, true, -100, 150, 0, 0},
    {"UnitsAfterTheNumber", {"120mm", " 20", "+5", "-5x", "s"}, true, 20, 100, -5, 10},
    {"NotANumberReadsAsZero", {"abc", "300", "", "400", "s"}, true, 0, 300, 0, 400},
    {"DifferenceBeyond32Bits",
     {"-2147483648", "2147483647", "99999999999", "-99999999999", "s"},
     true,
     kMin,
     kMax,
     kMin,
     kMax},
};

INSTANTIATE_TEST_SUITE_P(Cases, ReadLaunchArgumentsTest, ::testing::ValuesIn(kLaunchCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsTest, ProcessArgumentsAreKeptForTheScriptWriter) {
  SetProcessArguments({"rastrel", "1", "2", "3", "4", "/tmp/merge.ngp"});
  EXPECT_EQ(ProcessArgumentCount(), 5u);
  EXPECT_EQ(ProcessArgument(5), "/tmp/merge.ngp");
  EXPECT_EQ(ProcessArgument(6), "");
  SetProcessArguments({});
  EXPECT_EQ(ProcessArgumentCount(), 0u);
  EXPECT_EQ(ProcessArgument(5), "");
}

struct SizeCase {
  const char* name;
  bool launched;
  std::int32_t rect_width;
  std::int32_t pixel_width, pixel_height;
  std::int32_t gra_width, gra_height;
};

class DeriveGraSizeTest : public SettingsTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(DeriveGraSizeTest, SizesTheDrawing) {
  const SizeCase& c = GetParam();
  ConversionSettings.LaunchedWithRect = c.launched;
  ConversionSettings.RectWidth = c.rect_width;
  ConversionSettings.GraWidth = 1;  // whatever the options dialog set before
  ConversionSettings.GraHeight = 1;
  DeriveGraSize(c.pixel_width, c.pixel_height);
  EXPECT_EQ(ConversionSettings.GraWidth, c.gra_width);
  EXPECT_EQ(ConversionSettings.GraHeight, c.gra_height);
}

const SizeCase kSizeCases[] = {
    {"StandAlone", false, 10000, 640, 480, 32000, 24000},
    {"StandAloneLargest", false, 10000, 16384, 16384, 819200, 819200},
    {"Launched", true, 8000, 640, 480, 8000, 6000},
    {"LaunchedTruncates", true, 1000, 3, 2, 1000, 666},
    {"LaunchedTall", true, 1000, 2, 3, 1000, 1500},
    {"LaunchedFlatRectangle", true, 0, 640, 480, 0, 0},
    {"LaunchedProductBeyond32Bits", true, kMax, 1, 16384, kMax, kMax},
};

INSTANTIATE_TEST_SUITE_P(Cases, DeriveGraSizeTest, ::testing::ValuesIn(kSizeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsTest, LaunchedBitmapOfWidthZeroIsALoadFailure) {
  ConversionSettings.LaunchedWithRect = true;
  try {
    DeriveGraSize(0, 10);
    FAIL() << "no LoadError";
  } catch (const LoadError& error) {
    EXPECT_STREQ(error.what(), messages::kCantOpenFile);
  }
}

}  // namespace
}  // namespace rastrel
