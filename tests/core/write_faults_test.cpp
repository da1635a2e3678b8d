// Saving where writing fails: the GRA file and, in launched use, the merge
// script, each sent where it cannot be written. Every failure is shown once
// with its message, the progress ends at 0, nothing hangs and no file stays
// open; a merge script follows a GRA file that could be opened.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "core/conversion_settings.h"
#include "core/gra_writer.h"
#include "core/launch_arguments.h"
#include "core/merge_script_writer.h"
#include "core/messages.h"
#include "tests/core/interrupter.h"
#include "tests/core/memory_sink.h"
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

// Lends a test's sink to the writer, which takes ownership of what it opens.
class LentSink final : public ByteSink {
 public:
  explicit LentSink(ByteSink& sink) : sink_(sink) {}
  bool Write(const char* data, std::size_t size) override { return sink_.Write(data, size); }
  bool Close() override { return sink_.Close(); }

 private:
  ByteSink& sink_;
};

constexpr char kGra[] = "photo.gra";
constexpr char kScript[] = "merge.ngp";

// Saves in launched use through the writers' seam, at each byte where
// writing can fail: the GRA file and the merge script go to sinks that fail
// where a test says.
class FaultAtEveryByteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConversionSettings();
    Settings& s = ConversionSettings;
    s.SourceBitmap = std::make_unique<Bitmap>(3, 2, 0x0000FF);
    s.SourceBitmap->SetPixel(1, 1, 0xFF0000);
    s.GraWidth = 1000;
    s.GraHeight = 500;
    SetProcessArguments({"rastrel", "0", "1000", "0", "1000", kScript});
    ReadLaunchArguments({"0", "1000", "0", "1000", kScript});
    testing::MemorySink gra, script;
    Save(gra, script);
    ASSERT_TRUE(messages_.texts.empty());
    gra_ = gra.bytes;
    script_ = script.bytes;
    writes_ = gra.sizes;
  }
  void TearDown() override {
    ResetConversionSettings();
    SetProcessArguments({});
  }

  void Save(testing::MemorySink& gra, testing::MemorySink& script) {
    progress_ = {};
    messages_ = {};
    WriteGraFile(kGra, progress_, messages_, [&](const std::string& path) {
      return std::make_unique<LentSink>(path == kGra ? gra : script);
    });
  }

  // One failure, shown once for `file`; the file closed, the bar at 0.
  void ExpectOneFailure(const testing::MemorySink& failed, const char* file) {
    EXPECT_EQ(messages_.texts, std::vector<std::string>{messages::kWriteError});
    EXPECT_EQ(messages_.files, std::vector<std::string>{file});
    EXPECT_TRUE(failed.closed);
    EXPECT_EQ(FinalPosition(progress_.calls), 0);
  }

  TempDir dir_;
  RecordingProgress progress_;
  RecordingMessages messages_;
  std::string gra_;
  std::string script_;
  std::vector<std::size_t> writes_;  // the sizes of the GRA file's writes
};

TEST_F(FaultAtEveryByteTest, GraFileFailsAndTheScriptFollows) {
  for (std::size_t at = 0; at <= gra_.size(); ++at) {
    SCOPED_TRACE(at);
    // Past the last byte, it is the close that fails.
    testing::MemorySink gra(at, at == gra_.size()), script;
    Save(gra, script);
    ExpectOneFailure(gra, kGra);
    EXPECT_EQ(gra.bytes, gra_.substr(0, at));
    EXPECT_EQ(script.bytes, script_);
    EXPECT_TRUE(script.closed);
  }
}

TEST_F(FaultAtEveryByteTest, ScriptFailsAfterTheWholeGraFile) {
  for (std::size_t at = 0; at <= script_.size(); ++at) {
    SCOPED_TRACE(at);
    testing::MemorySink gra, script(at, at == script_.size());
    Save(gra, script);
    ExpectOneFailure(script, kScript);
    EXPECT_EQ(script.bytes, script_.substr(0, at));
    EXPECT_EQ(gra.bytes, gra_);
    EXPECT_TRUE(gra.closed);
  }
}

// A picture whose GRA text takes many of the writer's buffers fails inside
// each of its writes in turn: the scan stops, the end line is still tried.
TEST_F(FaultAtEveryByteTest, LargeGraFileFailsInEachWrite) {
  Bitmap& picture = *ConversionSettings.SourceBitmap;
  picture = Bitmap(500, 200);
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 500; ++x) picture.SetPixel(x, y, (x + y) % 2 ? 0x0000FF : 0xFF0000);
  }
  ConversionSettings.ColorMode = ColorMode::DrawAll;
  testing::MemorySink whole, whole_script;
  Save(whole, whole_script);
  ASSERT_GT(whole.sizes.size(), 3u);
  std::size_t before = 0;
  for (std::size_t n = 0; n < whole.sizes.size(); ++n) {
    SCOPED_TRACE(n);
    const std::size_t at = before + whole.sizes[n] / 2;
    testing::MemorySink gra(at), script;
    Save(gra, script);
    ExpectOneFailure(gra, kGra);
    // Compared whole, not printed: the text is megabytes long.
    EXPECT_TRUE(gra.bytes == whole.bytes.substr(0, at));
    EXPECT_TRUE(gra.last_write.ends_with("E,0\r\n"));
    const auto steps = std::count(progress_.calls.begin(), progress_.calls.end(), "step");
    if (n + 2 < whole.sizes.size()) {
      EXPECT_LT(steps, 200) << "the scan went on after the failure";
    }
    EXPECT_EQ(script.bytes, whole_script.bytes);
    EXPECT_TRUE(script.closed);
    before += whole.sizes[n];
  }
}

// The same saves to real files, with the system's write call failing,
// stopping short or being interrupted at each byte. Short and interrupted
// writes are taken up again and lose nothing; a full disk (ENOSPC) and a
// write that takes nothing are shown once, and every file is closed.
enum class Fault { kInterrupted, kShort, kDiskFull, kNothingTaken };
enum class Target { kGraFile, kScript };

struct SystemFaultCase {
  const char* name;
  Fault fault;
  Target target;
  friend void PrintTo(const SystemFaultCase& c, std::ostream* os) { *os << c.name; }
};

// ::write, except at byte `at` of the file, where the fault strikes once;
// a full disk stays full. A write across `at` first takes the bytes before
// it, as the kernel does when the disk fills.
class FaultyWrite {
 public:
  FaultyWrite(Fault fault, std::size_t at) : fault_(fault), at_(at) {}

  std::ptrdiff_t operator()(int fd, const char* data, std::size_t size) {
    if (full_) return Fail();
    if (!struck_ && written_ + size > at_) {
      if (written_ < at_) {
        size = at_ - written_;
      } else {
        struck_ = true;
        switch (fault_) {
          case Fault::kInterrupted:
            errno = EINTR;
            return -1;
          case Fault::kShort:
            size = 1;
            break;
          case Fault::kDiskFull:
          case Fault::kNothingTaken:
            full_ = true;
            return Fail();
        }
      }
    }
    const ssize_t written = ::write(fd, data, size);
    if (written > 0) written_ += static_cast<std::size_t>(written);
    return written;
  }

 private:
  std::ptrdiff_t Fail() const {
    if (fault_ == Fault::kNothingTaken) return 0;
    errno = ENOSPC;
    return -1;
  }

  Fault fault_;
  std::size_t at_;
  std::size_t written_ = 0;
  bool struck_ = false;
  bool full_ = false;
};

class SystemWriteFaultTest : public FaultAtEveryByteTest,
                             public ::testing::WithParamInterface<SystemFaultCase> {};

TEST_P(SystemWriteFaultTest, AtEveryByte) {
  const SystemFaultCase& c = GetParam();
  const bool lossless = c.fault == Fault::kInterrupted || c.fault == Fault::kShort;
  const std::string gra = dir_.File(kGra), script = dir_.File(kScript);
  SetProcessArguments({"rastrel", "0", "1000", "0", "1000", script});
  const std::string script_text = MergeScriptText(gra, {.width = 1000, .height = 500});
  const std::string& failing = c.target == Target::kGraFile ? gra : script;
  const std::string& text = c.target == Target::kGraFile ? gra_ : script_text;
  const int descriptors = OpenDescriptors();
  for (std::size_t at = 0; at < text.size(); ++at) {
    SCOPED_TRACE(at);
    FaultyWrite write(c.fault, at);
    progress_ = {};
    messages_ = {};
    WriteGraFile(gra, progress_, messages_, [&](const std::string& path) {
      return OpenFileSink(path, path == failing ? WriteCall(std::ref(write)) : WriteCall());
    });
    EXPECT_EQ(OpenDescriptors(), descriptors);
    EXPECT_EQ(FinalPosition(progress_.calls), 0);
    if (lossless) {
      EXPECT_EQ(messages_.texts, std::vector<std::string>{});
      EXPECT_EQ(ReadFile(gra), gra_);
      EXPECT_EQ(ReadFile(script), script_text);
    } else {
      EXPECT_EQ(messages_.texts, std::vector<std::string>{messages::kWriteError});
      EXPECT_EQ(messages_.files, std::vector<std::string>{failing});
      EXPECT_EQ(ReadFile(failing), text.substr(0, at));
      EXPECT_EQ(ReadFile(c.target == Target::kGraFile ? script : gra),
                c.target == Target::kGraFile ? script_text : gra_);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SystemWriteFaultTest,
    ::testing::Values(SystemFaultCase{"GraInterrupted", Fault::kInterrupted, Target::kGraFile},
                      SystemFaultCase{"GraShort", Fault::kShort, Target::kGraFile},
                      SystemFaultCase{"GraDiskFull", Fault::kDiskFull, Target::kGraFile},
                      SystemFaultCase{"GraNothingTaken", Fault::kNothingTaken, Target::kGraFile},
                      SystemFaultCase{"ScriptInterrupted", Fault::kInterrupted, Target::kScript},
                      SystemFaultCase{"ScriptShort", Fault::kShort, Target::kScript},
                      SystemFaultCase{"ScriptDiskFull", Fault::kDiskFull, Target::kScript},
                      SystemFaultCase{"ScriptNothingTaken", Fault::kNothingTaken, Target::kScript}),
    [](const auto& info) { return std::string(info.param.name); });

// The real thing: a save into a pipe whose reader is slow, so that writes
// wait, while signals keep interrupting them.
TEST_F(FaultAtEveryByteTest, SaveToASlowPipeUnderSignalsLosesNothing) {
  Bitmap& picture = *ConversionSettings.SourceBitmap;
  picture = Bitmap(500, 200);  // some 4 MB of text, far more than a pipe holds
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 500; ++x) picture.SetPixel(x, y, (x + y) % 2 ? 0x0000FF : 0xFF0000);
  }
  ConversionSettings.ColorMode = ColorMode::DrawAll;
  ConversionSettings.LaunchedWithRect = false;
  testing::MemorySink expected, unused;
  Save(expected, unused);

  int pipe_ends[2];
  ASSERT_EQ(::pipe(pipe_ends), 0);
  std::string arrived;
  std::thread reader([&] {
    char chunk[4096];
    for (;;) {
      const ssize_t got = ::read(pipe_ends[0], chunk, sizeof chunk);
      if (got <= 0) break;
      arrived.append(chunk, static_cast<std::size_t>(got));
      std::this_thread::sleep_for(std::chrono::microseconds(20));
    }
  });
  const int signals_before = testing::Interrupter::Signals();
  {
    const testing::HangGuard guard;
    const testing::Interrupter interrupter;
    progress_ = {};
    messages_ = {};
    WriteGraFile("/dev/fd/" + std::to_string(pipe_ends[1]), progress_, messages_);
  }
  ::close(pipe_ends[1]);
  reader.join();
  ::close(pipe_ends[0]);
  EXPECT_EQ(messages_.texts, std::vector<std::string>{});
  EXPECT_EQ(arrived.size(), expected.bytes.size());
  EXPECT_TRUE(arrived == expected.bytes);
  EXPECT_GT(testing::Interrupter::Signals(), signals_before);
}

}  // namespace
}  // namespace rastrel
