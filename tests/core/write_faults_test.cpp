// Saving where writing fails: the GRA file and, in launched use, the merge
// script, each sent where it cannot be written. Every failure is shown once
// with its message, the progress ends at 0, nothing hangs and no file stays
// open; a merge script follows a GRA file that could be opened.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/conversion_settings.h"
#include "core/gra_writer.h"
#include "core/launch_arguments.h"
#include "core/merge_script_writer.h"
#include "core/messages.h"
#include "tests/core/recording_hooks.h"
#include "tests/core/test_files.h"

namespace rastrel {
namespace {

using testing::ReadFile;
using testing::RecordingMessages;
using testing::RecordingProgress;
using testing::TempDir;

// Where the bar stands after the recorded calls.
int FinalPosition(const std::vector<std::string>& calls) {
  int step = 0, position = 0;
  for (const std::string& call : calls) {
    if (call.starts_with("step size ")) step = std::stoi(call.substr(10));
    if (call == "step") position += step;
    if (call.starts_with("position ")) position = std::stoi(call.substr(9));
  }
  return position;
}

int OpenDescriptors() {
  return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                        std::filesystem::directory_iterator()));
}

// A place that cannot be written, made in a test's folder.
struct PlaceCase {
  const char* name;
  std::function<std::string(const TempDir&)> make;  // returns the path to write
  const char* gra_message;                          // for the GRA file there
  const char* script_message;                       // for the merge script there
  bool by_permissions = false;                      // only permissions keep writes out
  friend void PrintTo(const PlaceCase& c, std::ostream* os) { *os << c.name; }
};

const PlaceCase kPlaces[] = {
    {"FullDisk", [](const TempDir&) { return std::string("/dev/full"); }, messages::kWriteError,
     messages::kWriteError},
    {"MissingFolder", [](const TempDir& dir) { return dir.File("missing/out"); },
     messages::kCantOpenGraFile, messages::kCantOpenScriptFile},
    {"Folder",
     [](const TempDir& dir) {
       std::filesystem::create_directory(dir.File("folder"));
       return dir.File("folder");
     },
     messages::kCantOpenGraFile, messages::kCantOpenScriptFile},
    {"ReadOnlyFolder",
     [](const TempDir& dir) {
       std::filesystem::create_directory(dir.File("locked"));
       std::filesystem::permissions(dir.File("locked"), std::filesystem::perms::owner_read |
                                                            std::filesystem::perms::owner_exec);
       return dir.File("locked/out");
     },
     messages::kCantOpenGraFile, messages::kCantOpenScriptFile, true},
    {"ReadOnlyFile",
     [](const TempDir& dir) {
       testing::WriteFile(dir.File("kept"), "kept");
       std::filesystem::permissions(dir.File("kept"), std::filesystem::perms::owner_read);
       return dir.File("kept");
     },
     messages::kCantOpenGraFile, messages::kCantOpenScriptFile, true},
    // Nobody reads it, so opening it for writing would wait for ever.
    {"NamedPipe",
     [](const TempDir& dir) {
       ::mkfifo(dir.File("pipe").c_str(), 0600);
       return dir.File("pipe");
     },
     messages::kCantOpenGraFile, messages::kCantOpenScriptFile},
};

class UnwritablePlaceTest : public ::testing::TestWithParam<PlaceCase> {
 protected:
  void SetUp() override {
    ResetConversionSettings();
    Settings& s = ConversionSettings;
    s.SourceBitmap = std::make_unique<Bitmap>(3, 2, 0x0000FF);
    s.SourceBitmap->SetPixel(1, 1, 0xFF0000);
    s.GraWidth = 1000;
    s.GraHeight = 500;
    place_ = GetParam().make(dir_);
    // Root, for one, may write where permissions forbid it.
    const std::filesystem::path path = place_;
    const std::filesystem::path locked = std::filesystem::exists(path) ? path : path.parent_path();
    if (GetParam().by_permissions && ::access(locked.c_str(), W_OK) == 0) {
      GTEST_SKIP() << "permissions do not keep this user out of " << locked;
    }
    kept_ = std::filesystem::is_regular_file(place_) ? ReadFile(place_) : "";
  }
  void TearDown() override {
    ResetConversionSettings();
    SetProcessArguments({});
  }
  void Launch(const std::string& script) {
    SetProcessArguments({"rastrel", "0", "1000", "0", "1000", script});
    ReadLaunchArguments({"0", "1000", "0", "1000", script});
  }
  // What a save writes where writing works.
  std::string GoodGra() {
    const std::string path = dir_.File("good.gra");
    NoProgress progress;
    RecordingMessages messages;
    const bool launched = ConversionSettings.LaunchedWithRect;
    ConversionSettings.LaunchedWithRect = false;
    WriteGraFile(path, progress, messages);
    ConversionSettings.LaunchedWithRect = launched;
    EXPECT_TRUE(messages.texts.empty());
    return ReadFile(path);
  }

  TempDir dir_;
  std::string place_;
  std::string kept_;  // what a file already there held
  RecordingProgress progress_;
  RecordingMessages messages_;
};

TEST_P(UnwritablePlaceTest, GraFileThere) {
  const std::string script = dir_.File("merge.ngp");
  Launch(script);
  const int descriptors = OpenDescriptors();
  {
    const testing::HangGuard guard;
    WriteGraFile(place_, progress_, messages_);
  }
  EXPECT_EQ(messages_.texts, std::vector<std::string>{GetParam().gra_message});
  EXPECT_EQ(messages_.files, std::vector<std::string>{place_});
  EXPECT_EQ(FinalPosition(progress_.calls), 0);
  EXPECT_EQ(OpenDescriptors(), descriptors);
  if (!kept_.empty()) {
    EXPECT_EQ(ReadFile(place_), kept_) << "a file already there is lost";
  }
  // The script follows a GRA file that was opened, not one that was not.
  const bool opened = GetParam().gra_message == messages::kWriteError;
  EXPECT_EQ(std::filesystem::exists(script), opened);
  if (opened) {
    EXPECT_EQ(ReadFile(script), MergeScriptText(place_, {.width = 1000, .height = 500}));
  }
}

TEST_P(UnwritablePlaceTest, MergeScriptThere) {
  Launch(place_);
  const std::string gra = dir_.File("photo.gra");
  const int descriptors = OpenDescriptors();
  {
    const testing::HangGuard guard;
    WriteGraFile(gra, progress_, messages_);
  }
  EXPECT_EQ(messages_.texts, std::vector<std::string>{GetParam().script_message});
  EXPECT_EQ(messages_.files, std::vector<std::string>{place_});
  EXPECT_EQ(FinalPosition(progress_.calls), 0);
  EXPECT_EQ(OpenDescriptors(), descriptors);
  if (!kept_.empty()) {
    EXPECT_EQ(ReadFile(place_), kept_) << "a file already there is lost";
  }
  EXPECT_EQ(ReadFile(gra), GoodGra());
}

INSTANTIATE_TEST_SUITE_P(Places, UnwritablePlaceTest, ::testing::ValuesIn(kPlaces),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace rastrel
