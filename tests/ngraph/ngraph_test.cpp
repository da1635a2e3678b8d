// Rastrel's files as the real Ngraph-GTK reads them. ngp2 draws each graph over
// a page of a colour that no test bitmap has, and the colour at the centre of
// every cell of the bitmap is checked. ngraph -i runs merge scripts and the
// add-in the way Ngraph runs an add-in, and the graph they leave is drawn the
// same way.
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/color_ref.h"
#include "core/merge_script_writer.h"
#include "tests/core/bmp_builder.h"
#include "tests/core/test_files.h"
#include "tests/run_program.h"

namespace rastrel {
namespace {

using testing::Environment;
using testing::ProgramResult;
using testing::ReadFile;
using testing::RunProgram;
using testing::TempDir;
using testing::WriteFile;

// The page under every drawing: a colour in no test bitmap, so that a cell
// left out cannot pass for a white one.
constexpr ColorRef kUnderlay = MakeColorRef(0, 128, 128);
constexpr int kUnitsPerPixel = 10;  // GRA units (0.01 mm) a device pixel at 254 dpi
constexpr char kDpi[] = "254";

// Test pictures are written a letter a pixel, top row first.
ColorRef LetterColor(char letter) {
  switch (letter) {
    case 'R':
      return MakeColorRef(255, 0, 0);
    case 'G':
      return MakeColorRef(0, 255, 0);
    case 'B':
      return MakeColorRef(0, 0, 255);
    case 'Y':
      return MakeColorRef(255, 255, 0);
    case 'K':
      return MakeColorRef(0, 0, 0);
    default:
      return MakeColorRef(255, 255, 255);  // 'W'
  }
}

std::string Hex(ColorRef color) {
  char text[8];
  std::snprintf(text, sizeof text, "%02x%02x%02x", RedOf(color), GreenOf(color), BlueOf(color));
  return text;
}

std::string BmpBytes(const std::vector<std::string>& rows) {
  std::vector<std::vector<std::uint8_t>> stored;
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {  // bottom-up
    std::vector<ColorRef> colors;
    for (char letter : *row) colors.push_back(LetterColor(letter));
    stored.push_back(testing::Bgr(colors));
  }
  const auto bytes = testing::BmpFile{.width = static_cast<std::int32_t>(rows[0].size()),
                                      .height = static_cast<std::int32_t>(rows.size()),
                                      .pixels = testing::Rows(stored)}
                         .Bytes();
  return std::string(bytes.begin(), bytes.end());
}

// A part of the graph in GRA units, x1 < x2 and y1 < y2.
struct Area {
  std::int64_t x1, y1, x2, y2;
};

// What ngp2 drew, as 8-bit RGB.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;

  ColorRef At(std::int64_t x, std::int64_t y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0xFF000000;  // no colour
    const std::uint8_t* pixel = &rgb[3 * (y * width + x)];
    return MakeColorRef(pixel[0], pixel[1], pixel[2]);
  }
};

std::optional<Picture> ReadPng(const std::string& path, std::string& error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    error = image.message;
    return std::nullopt;
  }
  image.format = PNG_FORMAT_RGB;
  Picture picture{static_cast<int>(image.width), static_cast<int>(image.height),
                  std::vector<std::uint8_t>(PNG_IMAGE_SIZE(image))};
  if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) {
    error = image.message;
    return std::nullopt;
  }
  return picture;
}

// Without a display ngp2 says so on every run; that message alone is expected.
void ExpectOnlyTheDisplayMessage(const std::string& err) {
  EXPECT_TRUE(err.empty() || err == "menu: cannot open the display.\n") << err;
}

class NgraphTest : public ::testing::Test {
 protected:
  // Ngraph reads its settings below HOME, and with a display it would open
  // windows.
  Environment NgraphEnvironment() const {
    return {{"HOME", dir_.path().string()},
            {"DISPLAY", std::nullopt},
            {"WAYLAND_DISPLAY", std::nullopt}};
  }

  void WriteBitmap(const std::vector<std::string>& rows) {
    WriteFile(dir_.File("in.bmp"), BmpBytes(rows));
  }

  void Convert(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {RASTREL_CONVERT, "--quiet"});
    const ProgramResult result = RunProgram(dir_.path(), arguments);
    ASSERT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(result.err, "");
  }

  // Draws `objects`, lines of a graph (NGP) file, with ngp2 over the underlay;
  // `page` is the part of the graph that the picture shows.
  std::optional<Picture> Draw(const std::string& objects, const Area& page) {
    const auto line = [](const char* field, std::int64_t value) {
      return std::string(field) + "=" + std::to_string(value) + "\n";
    };
    // Ngraph would clip the underlay at the paper's origin.
    std::string ngp =
        "new rectangle\nrectangle::clip=false\nrectangle::fill=true\n"
        "rectangle::stroke=false\n";
    ngp += line("rectangle::x1", page.x1) + line("rectangle::y1", page.y1) +
           line("rectangle::x2", page.x2) + line("rectangle::y2", page.y2);
    ngp += line("rectangle::fill_R", RedOf(kUnderlay)) +
           line("rectangle::fill_G", GreenOf(kUnderlay)) +
           line("rectangle::fill_B", BlueOf(kUnderlay));
    ngp += objects;
    ngp += "new gra name:viewer\n" + line("gra::left_margin", -page.x1) +
           line("gra::top_margin", -page.y1) + "gra::zoom=10000\n" +
           line("gra::paper_width", page.x2 - page.x1) +
           line("gra::paper_height", page.y2 - page.y1) +
           "gra::draw_obj='rectangle merge'\n";  // the underlay first
    WriteFile(dir_.File("render.ngp"), ngp);

    const ProgramResult result =
        RunProgram(dir_.path(), {"ngp2", "-png", "-d", kDpi, "render.ngp"}, NgraphEnvironment());
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(result.out, "Drawing render.ngp.\n\n");
    ExpectOnlyTheDisplayMessage(result.err);
    std::string error;
    std::optional<Picture> picture = ReadPng(dir_.File("render.png"), error);
    EXPECT_TRUE(picture) << "render.png: " << error;
    return picture;
  }

  // Checks the centre of every cell of `rows` drawn into `drawing`, expecting
  // `expected(letter)`, and the underlay half a cell outside each border cell.
  template <typename Expected>
  void ExpectCells(const Picture& picture, const Area& page, const Area& drawing,
                   const std::vector<std::string>& rows, Expected expected) {
    const std::int64_t columns = rows[0].size(), lines = rows.size();
    const std::int64_t width = drawing.x2 - drawing.x1, height = drawing.y2 - drawing.y1;
    // The centre of cell (column, line), which may lie one cell outside.
    const auto check = [&](std::int64_t column, std::int64_t line, ColorRef want) {
      const std::int64_t x = drawing.x1 + (2 * column + 1) * width / (2 * columns);
      const std::int64_t y = drawing.y1 + (2 * line + 1) * height / (2 * lines);
      const ColorRef got =
          picture.At((x - page.x1) / kUnitsPerPixel, (y - page.y1) / kUnitsPerPixel);
      EXPECT_EQ(Hex(got), Hex(want))
          << "cell " << column << ", " << line << " at " << x << ", " << y << " in GRA units";
    };
    for (std::int64_t line = 0; line < lines; ++line) {
      for (std::int64_t column = 0; column < columns; ++column) {
        check(column, line, expected(rows[line][column]));
      }
      check(-1, line, kUnderlay);
      check(columns, line, kUnderlay);
    }
    for (std::int64_t column = 0; column < columns; ++column) {
      check(column, -1, kUnderlay);
      check(column, lines, kUnderlay);
    }
  }

  // A page with room for a cell's centre around `drawing`.
  static Area PageAround(const Area& drawing) {
    return {drawing.x1 - 1000, drawing.y1 - 1000, drawing.x2 + 1000, drawing.y2 + 1000};
  }

  TempDir dir_;
};

// ---------------------------------------------------------------------------
// GRA files drawn by ngp2

struct PictureCase {
  const char* name;
  std::vector<std::string> rows;
  std::int32_t width;  // the drawing's size in GRA units
  std::int32_t height;
  char key = 'W';
};

struct ModeCase {
  const char* name;  // as --mode takes it
};

class DrawnGraTest : public NgraphTest,
                     public ::testing::WithParamInterface<std::tuple<PictureCase, ModeCase>> {};

TEST_P(DrawnGraTest, EveryCellShowsItsColour) {
  const auto& [picture, mode] = GetParam();
  const ColorRef key = LetterColor(picture.key);
  WriteBitmap(picture.rows);
  Convert({"--mode", mode.name, "--key", Hex(key), "--width", std::to_string(picture.width),
           "--height", std::to_string(picture.height), "in.bmp", "out.gra"});

  const Area drawing{1000, 2000, 1000 + picture.width, 2000 + picture.height};
  const Area page = PageAround(drawing);
  const std::optional<Picture> drawn =
      Draw("new merge\nmerge::file=" + MergeFileValue(dir_.File("out.gra")) +
               "\nmerge::left_margin=1000\nmerge::top_margin=2000\nmerge::zoom=10000\n",
           page);
  ASSERT_TRUE(drawn);
  const bool key_left_out = std::string(mode.name) == "transparent";
  ExpectCells(*drawn, page, drawing, picture.rows, [&](char letter) {
    return key_left_out && LetterColor(letter) == key ? kUnderlay : LetterColor(letter);
  });
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, DrawnGraTest,
    ::testing::Combine(
        ::testing::Values(
            PictureCase{"FewColours", {"RGBW", "KWRY", "WWBB"}, 4000, 3000},
            PictureCase{"SinglePixelRuns", {"RBRWRBR", "BRBRBRW"}, 3500, 1000},
            PictureCase{"RunsAcrossRowEnds", {"WWRR", "RRRR", "RRWW", "WWWW"}, 2000, 2000},
            PictureCase{"WidthThatDoesNotDivide", {"RGBRGBY", "YBGRBGR", "KWKWKWK"}, 3001, 1000},
            PictureCase{"OnePixel", {"R"}, 800, 800}, PictureCase{"OneKeyPixel", {"W"}, 800, 800},
            PictureCase{"BlackKey", {"KRK", "WKW"}, 3000, 2000, 'K'}),
        ::testing::Values(ModeCase{"all"}, ModeCase{"background"}, ModeCase{"transparent"})),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
    });

// ---------------------------------------------------------------------------
// Merge scripts and the add-in, run by ngraph -i

struct Rectangle {
  std::int32_t x1, y1, x2, y2;  // as Ngraph keeps them: where the drag began and ended
};

// What a run of ngraph -i printed and the graph it left, as an NGP file's lines.
struct GraphRun {
  ProgramResult result;
  std::string objects;
};

class GraphTest : public NgraphTest {
 protected:
  // Makes a graph of `rectangles`, the last the newest, runs the script at
  // `run` as Ngraph runs an add-in, prints what is left and saves the graph.
  GraphRun RunInGraph(const std::vector<Rectangle>& rectangles, const std::string& run,
                      Environment environment = {}) {
    std::string driver;
    for (const Rectangle& r : rectangles) {
      driver += "new rectangle x1:" + std::to_string(r.x1) + " y1:" + std::to_string(r.y1) +
                " x2:" + std::to_string(r.x2) + " y2:" + std::to_string(r.y2) + "\n";
    }
    driver += R"(new shell
shell::shell "$RUN"
del shell
echo "temporary files: ${system:0:temp_list}"
for i in `seq 0 \`object rectangle -last\``
do
    echo rectangle `get rectangle:$i -field x1 y1 x2 y2`
done
if exist -q merge:0
then
    echo "merge: ${merge:!:file}"
fi
for object in `derive -instance draw`
do
    if exist -q ${object}:0
    then
        get ${object}:0-! -id -field save >> "$GRAPH"
    fi
done
)";
    WriteFile(dir_.File("driver.nsc"), driver);
    environment.merge(NgraphEnvironment());
    environment["RUN"] = run;
    environment["GRAPH"] = dir_.File("graph.ngp");
    GraphRun graph{RunProgram(dir_.path(), {"ngraph", "-i", "driver.nsc"}, environment), ""};
    EXPECT_EQ(graph.result.exit_code, 0) << graph.result.err;
    ExpectOnlyTheDisplayMessage(graph.result.err);
    graph.objects = ReadFile(dir_.File("graph.ngp"));
    return graph;
  }

  // Checks that the picture of kRows is at `drawing` in the graph.
  void ExpectDrawingAt(const GraphRun& graph, const Area& drawing) {
    const Area page = PageAround(drawing);
    const std::optional<Picture> drawn = Draw(graph.objects, page);
    ASSERT_TRUE(drawn);
    ExpectCells(*drawn, page, drawing, kRows, LetterColor);
  }

  static inline const std::vector<std::string> kRows = {"RGBK", "GKRB"};
  static constexpr Rectangle kOlder{100, 100, 600, 600};
};

struct LaunchCase {
  const char* name;
  Rectangle launch;
  const char* action;
  const char* rectangles_after;
  Area drawing;
};

class LaunchedMergeTest : public GraphTest, public ::testing::WithParamInterface<LaunchCase> {};

TEST_P(LaunchedMergeTest, PlacesTheDrawingAndHandlesTheRectangle) {
  const LaunchCase& c = GetParam();
  WriteBitmap(kRows);
  Convert({"--rect", std::to_string(c.launch.x1), std::to_string(c.launch.x2),
           std::to_string(c.launch.y1), std::to_string(c.launch.y2), "--script", "merge.ngp",
           "--rect-action", c.action, "in.bmp", "out.gra"});
  const GraphRun graph = RunInGraph({kOlder, c.launch}, dir_.File("merge.ngp"));
  EXPECT_EQ(graph.result.out, std::string("temporary files: \n") + c.rectangles_after +
                                  "merge: " + dir_.File("out.gra") + "\n");
  ExpectDrawingAt(graph, c.drawing);
}

// The picture is 4 by 2: the drawing takes the rectangle's width and half of
// it as its height.
INSTANTIATE_TEST_SUITE_P(
    RectActions, LaunchedMergeTest,
    ::testing::Values(LaunchCase{"Adjust",
                                 {2000, 1000, 8000, 5000},
                                 "adjust",
                                 "rectangle 100 100 600 600\nrectangle 2000 1000 8000 4000\n",
                                 {2000, 1000, 8000, 4000}},
                      LaunchCase{"AdjustDrawnFromBottomRight",
                                 {8000, 5000, 2000, 1000},
                                 "adjust",
                                 "rectangle 100 100 600 600\nrectangle 2000 1000 8000 4000\n",
                                 {2000, 1000, 8000, 4000}},
                      LaunchCase{"Delete",
                                 {2000, 1000, 8000, 5000},
                                 "delete",
                                 "rectangle 100 100 600 600\n",
                                 {2000, 1000, 8000, 4000}},
                      LaunchCase{"None",
                                 {2000, 1000, 8000, 5000},
                                 "none",
                                 "rectangle 100 100 600 600\nrectangle 2000 1000 8000 5000\n",
                                 {2000, 1000, 8000, 4000}},
                      LaunchCase{"AdjustNegative",
                                 {-1000, -2000, -7000, 3000},
                                 "adjust",
                                 "rectangle 100 100 600 600\nrectangle -7000 -2000 -1000 1000\n",
                                 {-7000, -2000, -1000, 1000}},
                      LaunchCase{"NoneNegative",
                                 {-4000, -3000, 2000, -500},
                                 "none",
                                 "rectangle 100 100 600 600\nrectangle -4000 -3000 2000 -500\n",
                                 {-4000, -3000, 2000, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

struct PathCase {
  const char* name;
  const char* file;  // in the test's folder
};

class GraPathTest : public GraphTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(GraPathTest, NgraphFindsAndDrawsTheFile) {
  const std::string gra = dir_.File(GetParam().file);
  std::filesystem::create_directories(std::filesystem::path(gra).parent_path());
  WriteBitmap(kRows);
  Convert({"--rect", "1000", "5000", "1000", "3000", "--script", "merge.ngp", "in.bmp", gra});
  const GraphRun graph = RunInGraph({kOlder, {1000, 1000, 5000, 3000}}, dir_.File("merge.ngp"));
  EXPECT_EQ(graph.result.out, "temporary files: \nrectangle 100 100 600 600\nmerge: " + gra + "\n");
  ExpectDrawingAt(graph, {1000, 1000, 5000, 3000});
}

INSTANTIATE_TEST_SUITE_P(
    GraPaths, GraPathTest,
    ::testing::Values(PathCase{"Space", "my plots/chart 1.gra"}, PathCase{"Dollar", "$HOME/$1.gra"},
                      PathCase{"SingleQuote", "ann's.gra"}, PathCase{"Percent", "100%.gra"},
                      PathCase{"Backslash", "a\\b\\c.gra"},
                      PathCase{"NonAscii", "M\xc3\xbcller/\xe5\x9b\xb3 \xc3\xa9t\xc3\xa9.gra"},
                      PathCase{"AllTogether", "x $y 'z' 50% \\ \xc3\xa9*?.gra"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every byte a file name can hold, bar line breaks and the two that Ngraph's
// reader changes even inside quotes (1 and 2), comes back from merge::file
// unchanged.
TEST_F(GraphTest, EveryPathByteSurvivesTheScriptReader) {
  std::string script, expected;
  std::vector<std::string> names;
  for (int byte = 3; byte < 128; ++byte) {
    if (byte != '\n' && byte != '\r') names.push_back(std::string(1, static_cast<char>(byte)));
  }
  names.insert(names.end(), {"\xc3\xa9", "\xe5\x9b\xb3", "\xf0\x9f\x98\x80"});
  for (const std::string& name : names) {
    const std::string path = "/tmp/a" + name + "b.gra";
    script += "new merge\nmerge::file=" + MergeFileValue(path) + "\n";
    script += "echo \"${merge:!:file}\"\n";
    expected += path + "\n";
  }
  WriteFile(dir_.File("paths.nsc"), script);
  const ProgramResult result =
      RunProgram(dir_.path(), {"ngraph", "-i", "paths.nsc"}, NgraphEnvironment());
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, expected);
}

// The add-in, with a stand-in for the desktop program that records its
// arguments and, as STAND_IN says, saves once as a user would, closes without
// saving or fails.
constexpr char kStandIn[] = R"(#!/bin/sh
printf '%s\n' "$@" > "$STAND_IN_LOG"
case "$STAND_IN" in
save) exec "$RASTREL_CONVERT" --quiet --rect "$1" "$2" "$3" "$4" --script "$5" \
        --rect-action adjust "$STAND_IN_BITMAP" "$STAND_IN_GRA" ;;
fail) exit 3 ;;
esac
)";

struct AddinCase {
  const char* name;
  bool with_rectangle;
  const char* stand_in;  // nullptr: no rastrel on PATH
  const char* out;       // what the add-in prints, then what is left of the graph
  bool merged;
};

class AddinTest : public GraphTest, public ::testing::WithParamInterface<AddinCase> {};

TEST_P(AddinTest, RunsRastrelAndMergesWhatItSaved) {
  const AddinCase& c = GetParam();
  WriteBitmap(kRows);
  const std::filesystem::path bin = dir_.path() / "bin";
  std::filesystem::create_directory(bin);
  if (c.stand_in) {
    WriteFile((bin / "rastrel").string(), kStandIn);
    std::filesystem::permissions(bin / "rastrel", std::filesystem::perms::owner_all);
  }
  // Drawn from the bottom right: Ngraph passes its edges as they are.
  const Rectangle launch{8000, 5000, 2000, 1000};
  std::vector<Rectangle> rectangles;
  if (c.with_rectangle) rectangles = {kOlder, launch};
  const std::string log = dir_.File("stand-in.log");
  const GraphRun graph = RunInGraph(rectangles, RASTREL_ADDIN,
                                    {{"PATH", bin.string()},
                                     {"STAND_IN", c.stand_in ? c.stand_in : ""},
                                     {"STAND_IN_LOG", log},
                                     {"STAND_IN_BITMAP", dir_.File("in.bmp")},
                                     {"STAND_IN_GRA", dir_.File("out.gra")},
                                     {"RASTREL_CONVERT", RASTREL_CONVERT}});
  EXPECT_EQ(graph.result.out,
            std::string(c.out) + (c.merged ? "merge: " + dir_.File("out.gra") + "\n" : ""));

  if (!c.with_rectangle || !c.stand_in) {
    EXPECT_FALSE(std::filesystem::exists(log)) << "rastrel was started";
    return;
  }
  // x1 x2 y1 y2 and the script's path, a temporary file removed afterwards.
  const std::string arguments = ReadFile(log);
  ASSERT_TRUE(arguments.starts_with("8000\n2000\n5000\n1000\n/")) << arguments;
  const std::string script = arguments.substr(20, arguments.size() - 21);
  EXPECT_FALSE(std::filesystem::exists(script)) << script;
  if (c.merged) ExpectDrawingAt(graph, {2000, 1000, 8000, 4000});
}

INSTANTIATE_TEST_SUITE_P(
    Addin, AddinTest,
    ::testing::Values(
        AddinCase{"MergesAfterASave", true, "save",
                  "temporary files: \nrectangle 100 100 600 600\nrectangle 2000 1000 8000 4000\n",
                  true},
        AddinCase{"ClosedWithoutSaving", true, "close",
                  "temporary files: \nrectangle 100 100 600 600\nrectangle 8000 5000 2000 1000\n",
                  false},
        AddinCase{"ProgramFails", true, "fail",
                  "Rastrel: rastrel ended with exit status 3; nothing was merged.\n"
                  "temporary files: \nrectangle 100 100 600 600\nrectangle 8000 5000 2000 1000\n",
                  false},
        AddinCase{"ProgramMissing", true, nullptr,
                  "Rastrel: The program rastrel was not found on PATH.\n"
                  "temporary files: \nrectangle 100 100 600 600\nrectangle 8000 5000 2000 1000\n",
                  false},
        AddinCase{"NoRectangle", false, "save",
                  "Rastrel: Draw a rectangle first: the bitmap is placed in the newest "
                  "rectangle.\ntemporary files: \n",
                  false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace rastrel
