// rastrel-convert as a script runs it: arguments in, exit code, standard
// output, standard error and files out.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/color_ref.h"
#include "tests/core/bmp_builder.h"
#include "tests/core/test_files.h"
#include "tests/run_program.h"

namespace rastrel {
namespace {

using testing::Bgr;
using testing::BmpFile;
using testing::ReadFile;
using testing::Rows;
using testing::TempDir;

using Result = testing::ProgramResult;

// Runs the converter in `dir`.
Result RunConverter(const TempDir& dir, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), RASTREL_CONVERT);
  return testing::RunProgram(dir.path(), std::move(arguments));
}

constexpr ColorRef kRed = 0x0000FF, kBlue = 0xFF0000, kWhite = 0xFFFFFF;

constexpr char kHeader[] =
    "%Ngraph GRAF\r\n%Creator: Quillmarker\r\nI,5,0,0,1000,500,10000\r\nV,5,0,0,1000,500,1\r\n"
    "A,5,0,40,0,0,1000\r\n";

class ConvertTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Three by two: red red white over white blue blue, stored bottom-up.
    const auto bytes =
        BmpFile{.width = 3,
                .height = 2,
                .pixels = Rows({Bgr({kWhite, kBlue, kBlue}), Bgr({kRed, kRed, kWhite})})}
            .Bytes();
    testing::WriteFile(dir_.File("in.bmp"), std::string(bytes.begin(), bytes.end()));
  }
  std::string Output(const char* name = "out.gra") const { return ReadFile(dir_.File(name)); }

  TempDir dir_;
};

TEST_F(ConvertTest, ConvertsWithTheGivenSizeAndMode) {
  const Result result =
      RunConverter(dir_, {"--width", "1000", "--height=500", "in.bmp", "out.gra"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(Output(), std::string(kHeader) +
                          "G,3,255,0,0\r\nB,5,0,0,666,250,1\r\nG,3,0,0,255\r\n"
                          "B,5,333,250,999,500,1\r\nE,0\r\n");

  ASSERT_EQ(RunConverter(dir_, {"--mode", "background", "--key", "#0000FF", "--width", "1000",
                                "--height", "500", "in.bmp", "out.gra"})
                .exit_code,
            0);
  EXPECT_EQ(Output(),
            std::string(kHeader) +
                "G,3,0,0,255\r\nB,5,0,0,1000,500,1\r\nG,3,255,0,0\r\nB,5,0,0,666,250,1\r\n"
                "G,3,255,255,255\r\nB,5,666,0,999,250,1\r\nB,5,0,250,333,500,1\r\nE,0\r\n");
}

struct SizeCase {
  const char* name;
  std::vector<std::string> options;
  const char* size_line;
};

class ConvertSizeTest : public ConvertTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(ConvertSizeTest, SizesTheDrawing) {
  std::vector<std::string> arguments = GetParam().options;
  arguments.insert(arguments.end(), {"--mode", "all", "in.bmp", "out.gra"});
  ASSERT_EQ(RunConverter(dir_, arguments).exit_code, 0);
  EXPECT_NE(Output().find(std::string("\r\n") + GetParam().size_line + "\r\n"), std::string::npos)
      << Output();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertSizeTest,
    ::testing::Values(
        SizeCase{"FiftyUnitsAPixel", {}, "I,5,0,0,150,100,10000"},
        SizeCase{"WidthDerivesHeight", {"--width", "1000"}, "I,5,0,0,1000,666,10000"},
        SizeCase{"HeightDerivesWidth", {"--height", "1000"}, "I,5,0,0,1500,1000,10000"},
        SizeCase{"NoRatio", {"--no-keep-ratio", "--width", "1000"}, "I,5,0,0,1000,100,10000"},
        SizeCase{"BothSides", {"--width", "7", "--height", "9"}, "I,5,0,0,7,9,10000"},
        SizeCase{"Rectangle",
                 {"--rect", "12000", "2000", "-3000", "10500", "--script", "s.ngp"},
                 "I,5,0,0,10000,6666,10000"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConvertTest, LaunchedUseWritesTheMergeScript) {
  const Result result =
      RunConverter(dir_, {"--rect", "2000", "12000", "3000", "10500", "--script", "merge.ngp",
                          "--rect-action", "adjust", "in.bmp", "out.gra"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.err, "");
  const std::string script = Output("merge.ngp");
  EXPECT_NE(script.find("merge::top_margin=3000\r\nmerge::left_margin=2000\r\n"),
            std::string::npos);
  // Ngraph resolves a relative path against its own folder: the script names
  // the file absolutely.
  EXPECT_NE(script.find("merge::file=" + dir_.File("out.gra") + "\r\n"), std::string::npos);
  EXPECT_NE(script.find("rectangle:!:y2=9666\r\nrectangle:!:x2=12000\r\n"), std::string::npos);
  EXPECT_FALSE(Output().empty());
}

struct FailureCase {
  const char* name;
  std::vector<std::string> arguments;
  int exit_code;
  const char* err;
};

class ConvertFailureTest : public ConvertTest, public ::testing::WithParamInterface<FailureCase> {
 protected:
  void SetUp() override {
    ConvertTest::SetUp();
    testing::WriteFile(dir_.File("photo.bmp"), "\x89PNG\r\n\x1a\n");
    testing::WriteFile(dir_.File("empty.bmp"), "");
    testing::WriteFile(dir_.File("broken.bmp"), "BM this is no bitmap");
    std::filesystem::create_directory(dir_.File("folder"));
    ::mkfifo(dir_.File("pipe").c_str(), 0600);  // nobody reads or writes it
  }
};

TEST_P(ConvertFailureTest, ExitsWithTheMessage) {
  const Result result = RunConverter(dir_, GetParam().arguments);
  EXPECT_EQ(result.exit_code, GetParam().exit_code);
  EXPECT_EQ(result.err, GetParam().err);
  EXPECT_EQ(result.out, "");
}

#define TRY_HELP "Try 'rastrel-convert --help' for more information.\n"

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertFailureTest,
    ::testing::Values(
        FailureCase{"MissingInput",
                    {"missing.bmp", "out.gra"},
                    1,
                    "rastrel-convert: missing.bmp: Can't Open the file!!\n"},
        FailureCase{"PngNamedBmp",
                    {"photo.bmp", "out.gra"},
                    1,
                    "rastrel-convert: photo.bmp: Illegal file format!!\n"},
        FailureCase{"EmptyInput",
                    {"empty.bmp", "out.gra"},
                    1,
                    "rastrel-convert: empty.bmp: Illegal file format!!\n"},
        FailureCase{"NoBitmapAfterBM",
                    {"broken.bmp", "out.gra"},
                    1,
                    "rastrel-convert: broken.bmp: Can't Open the file!!\n"},
        FailureCase{"UnopenableOutput",
                    {"in.bmp", "no/out.gra"},
                    1,
                    "rastrel-convert: no/out.gra: Can't open the GRA file!!\n"},
        FailureCase{
            "FullDisk", {"in.bmp", "/dev/full"}, 1, "rastrel-convert: /dev/full: Write error!!\n"},
        FailureCase{"OutputIsAFolder",
                    {"in.bmp", "folder"},
                    1,
                    "rastrel-convert: folder: Can't open the GRA file!!\n"},
        FailureCase{"OutputIsANamedPipe",
                    {"in.bmp", "pipe"},
                    1,
                    "rastrel-convert: pipe: Can't open the GRA file!!\n"},
        FailureCase{"InputIsANamedPipe",
                    {"pipe", "out.gra"},
                    1,
                    "rastrel-convert: pipe: Illegal file format!!\n"},
        FailureCase{"ScriptOnAFullDisk",
                    {"--rect", "0", "1", "0", "1", "--script", "/dev/full", "in.bmp", "out.gra"},
                    1,
                    "rastrel-convert: /dev/full: Write error!!\n"},
        FailureCase{"ScriptIsANamedPipe",
                    {"--rect", "0", "1", "0", "1", "--script", "pipe", "in.bmp", "out.gra"},
                    1,
                    "rastrel-convert: pipe: Can't open the Script file!!\n"},
        FailureCase{"UnopenableScript",
                    {"--rect", "0", "1", "0", "1", "--script", "no/merge.ngp", "in.bmp", "out.gra"},
                    1,
                    "rastrel-convert: no/merge.ngp: Can't open the Script file!!\n"},
        FailureCase{"NoArguments", {}, 2, "rastrel-convert: missing file operand\n" TRY_HELP},
        FailureCase{
            "ThreeFiles", {"a", "b", "c"}, 2, "rastrel-convert: too many file operands\n" TRY_HELP},
        FailureCase{"UnknownOption",
                    {"--colour", "in.bmp", "out.gra"},
                    2,
                    "rastrel-convert: unrecognized option '--colour'\n" TRY_HELP},
        FailureCase{"MissingValue",
                    {"in.bmp", "out.gra", "--width"},
                    2,
                    "rastrel-convert: option '--width' requires an argument\n" TRY_HELP},
        FailureCase{"BadWidth",
                    {"--width", "12mm", "in.bmp", "out.gra"},
                    2,
                    "rastrel-convert: --width takes a whole number from 1 to 2147483647, not "
                    "'12mm'\n" TRY_HELP},
        FailureCase{
            "BadMode",
            {"--mode", "none", "in.bmp", "out.gra"},
            2,
            "rastrel-convert: --mode takes all, background or transparent, not 'none'\n" TRY_HELP},
        FailureCase{
            "BadKey",
            {"--key", "fff", "in.bmp", "out.gra"},
            2,
            "rastrel-convert: --key takes a colour as RRGGBB in hexadecimal, not 'fff'\n" TRY_HELP},
        FailureCase{"ShortRect",
                    {"in.bmp", "out.gra", "--rect", "1", "2", "3"},
                    2,
                    "rastrel-convert: --rect takes four numbers\n" TRY_HELP},
        FailureCase{"RectWithoutScript",
                    {"--rect", "1", "2", "3", "4", "in.bmp", "out.gra"},
                    2,
                    "rastrel-convert: --rect needs --script\n" TRY_HELP},
        FailureCase{
            "BadRectAction",
            {"--rect-action", "move", "in.bmp", "out.gra"},
            2,
            "rastrel-convert: --rect-action takes adjust, delete or none, not 'move'\n" TRY_HELP}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConvertTest, FailedInputLeavesNoOutput) {
  testing::WriteFile(dir_.File("photo.bmp"), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(RunConverter(dir_, {"photo.bmp", "out.gra"}).exit_code, 1);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("out.gra")));
}

TEST_F(ConvertTest, HelpAndVersion) {
  const Result help = RunConverter(dir_, {"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: rastrel-convert [OPTION]... INPUT.bmp OUTPUT.gra\n"));
  EXPECT_EQ(help.err, "");
  const Result version = RunConverter(dir_, {"--version"});
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.out, "rastrel-convert (Rastrel) 1.00.02\n");
}

TEST_F(ConvertTest, ConvertsTheSampleBitmap) {
  const Result result = RunConverter(dir_, {RASTREL_SAMPLE, "sample.gra"});
  EXPECT_EQ(result.exit_code, 0);
  const std::string gra = Output("sample.gra");
  EXPECT_TRUE(
      gra.starts_with("%Ngraph GRAF\r\n%Creator: Quillmarker\r\nI,5,0,0,4800,3200,10000\r\n"));
  EXPECT_TRUE(gra.ends_with("\r\nE,0\r\n"));
  EXPECT_EQ(gra.find("G,3,255,255,255"), std::string::npos) << "white is the key colour";
}

}  // namespace
}  // namespace rastrel
