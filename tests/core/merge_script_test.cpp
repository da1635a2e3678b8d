#include "core/merge_script_writer.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/conversion_settings.h"
#include "core/launch_arguments.h"
#include "core/messages.h"
#include "tests/core/recording_hooks.h"
#include "tests/core/test_files.h"

namespace rastrel {
namespace {

using testing::ReadFile;
using testing::RecordingMessages;
using testing::TempDir;

constexpr char kHeader[] =
    "new merge\r\n"
    "merge::hidden=false\r\n"
    "merge::R=0\r\n"
    "merge::G=0\r\n"
    "merge::B=0\r\n"
    "merge::clip=true\r\n"
    "merge::redraw_flag=true\r\n"
    "merge::save_path=unchange\r\n"
    "merge::symbol_greek=true\r\n"
    "merge::top_margin=3000\r\n"
    "merge::left_margin=2000\r\n"
    "merge::zoom=10000\r\n"
    // A backslash is a byte of the name on Linux, kept inside quotes.
    "merge::file='D:\\Data\\Plots\\photo.gra'\r\n";

struct ActionCase {
  const char* name;
  RectAction action;
  const char* tail;
  std::size_t bytes;
};

class MergeScriptTest : public ::testing::TestWithParam<ActionCase> {
 protected:
  void SetUp() override {
    ResetConversionSettings();
    Settings& s = ConversionSettings;
    s.TopMargin = 3000;
    s.LeftMargin = 2000;
    s.GraWidth = 10000;
    s.GraHeight = 7500;
    script_ = dir_.File("merge.ngp");
    SetProcessArguments({"rastrel", "2000", "12000", "3000", "10500", script_});
  }
  void TearDown() override {
    ResetConversionSettings();
    SetProcessArguments({});
  }

  TempDir dir_;
  std::string script_;
  RecordingMessages messages_;
};

TEST_P(MergeScriptTest, WritesTheWorkedExampleByteForByte) {
  ConversionSettings.RectAction = GetParam().action;
  testing::WriteFile(script_, std::string(1000, 'x'));  // an older script is replaced whole
  WriteMergeScript("D:\\Data\\Plots\\photo.gra", messages_);
  const std::string script = ReadFile(script_);
  EXPECT_EQ(script, std::string(kHeader) + GetParam().tail);
  EXPECT_EQ(script.size(), GetParam().bytes);
  EXPECT_TRUE(messages_.texts.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Actions, MergeScriptTest,
    ::testing::Values(ActionCase{"Adjust", RectAction::Adjust,
                                 "rectangle:!:y1=3000\r\n"
                                 "rectangle:!:x1=2000\r\n"
                                 "rectangle:!:y2=10500\r\n"
                                 "rectangle:!:x2=12000\r\n",
                                 357},
                      ActionCase{"Delete", RectAction::Delete, "del rectangle:!\r\n", 288},
                      ActionCase{"None", RectAction::None, "", 271},
                      ActionCase{"NothingSelected", static_cast<RectAction>(-1), "", 271}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MergeScriptTest, NegativeMarginsAndPlainSums) {
  const std::string text = MergeScriptText("/g.gra", MergePlacement{.top_margin = -300,
                                                                    .left_margin = -2147483647 - 1,
                                                                    .width = 1000,
                                                                    .height = 500,
                                                                    .action = RectAction::Adjust});
  EXPECT_NE(text.find("merge::top_margin=-300\r\nmerge::left_margin=-2147483648\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("rectangle:!:y1=-300\r\nrectangle:!:x1=-2147483648\r\n"
                      "rectangle:!:y2=200\r\nrectangle:!:x2=-2147482648\r\n"),
            std::string::npos);
  const std::string clamped =
      MergeScriptText("/g.gra", MergePlacement{.top_margin = 2147483647,
                                               .left_margin = 0,
                                               .width = 0,
                                               .height = 10,
                                               .action = RectAction::Adjust});
  EXPECT_NE(clamped.find("rectangle:!:y2=2147483647\r\n"), std::string::npos);
}

struct PathCase {
  const char* path;
  const char* value;
};

class MergeFileValueTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(MergeFileValueTest, QuotesWhatNgraphWouldSplitOrExpand) {
  EXPECT_EQ(MergeFileValue(GetParam().path), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, MergeFileValueTest,
    ::testing::Values(PathCase{"/home/ann/plots/photo.gra", "/home/ann/plots/photo.gra"},
                      PathCase{"", ""}, PathCase{"a\\b/c\\d.gra", "'a\\b/c\\d.gra'"},
                      PathCase{"\\\\server\\share\\x.gra", "'\\\\server\\share\\x.gra'"},
                      PathCase{"/tmp/a-b_c.d:e+f,g@h%i=j.gra", "/tmp/a-b_c.d:e+f,g@h%i=j.gra"},
                      PathCase{"/tmp/\xc3\xa9t\xc3\xa9.gra", "/tmp/\xc3\xa9t\xc3\xa9.gra"},
                      PathCase{"/tmp/my plot.gra", "'/tmp/my plot.gra'"},
                      PathCase{"/tmp/$HOME.gra", "'/tmp/$HOME.gra'"},
                      PathCase{"/tmp/a*b?[c].gra", "'/tmp/a*b?[c].gra'"},
                      PathCase{"/tmp/ann's.gra", "'/tmp/ann'\\''s.gra'"},
                      PathCase{"/tmp/a\tb\"c;d&e|f`g(h)~.gra", "'/tmp/a\tb\"c;d&e|f`g(h)~.gra'"},
                      PathCase{"C:\\My Plots\\x.gra", "'C:\\My Plots\\x.gra'"}));

TEST_F(MergeScriptTest, LineBreakInThePathIsRefused) {
  for (const char* path : {"/tmp/a\nnew rectangle.gra", "/tmp/a\r.gra"}) {
    SCOPED_TRACE(path);
    RecordingMessages messages;
    WriteMergeScript(path, messages);
    EXPECT_EQ(messages.texts, std::vector<std::string>{messages::kLineBreakInGraPath});
    EXPECT_FALSE(std::filesystem::exists(script_));
  }
}

TEST_F(MergeScriptTest, UnopenableScriptIsReported) {
  for (const std::string& script :
       {dir_.File("missing/merge.ngp"), dir_.path().string(), std::string()}) {
    SCOPED_TRACE(script);
    SetProcessArguments({"rastrel", "1", "2", "3", "4", script});
    RecordingMessages messages;
    WriteMergeScript("/tmp/photo.gra", messages);
    EXPECT_EQ(messages.texts, std::vector<std::string>{messages::kCantOpenScriptFile});
    EXPECT_EQ(messages.files, std::vector<std::string>{script});
  }
}

TEST_F(MergeScriptTest, FullDiskIsReportedOnce) {
  SetProcessArguments({"rastrel", "1", "2", "3", "4", "/dev/full"});
  WriteMergeScript("/tmp/photo.gra", messages_);
  EXPECT_EQ(messages_.texts, std::vector<std::string>{messages::kWriteError});
}

}  // namespace
}  // namespace rastrel
