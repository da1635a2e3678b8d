// The GRA writer's speed on three kinds of picture, writing into a sink that
// only counts, so that the figures are the writer's own.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "bench/bench_pictures.h"
#include "core/gra_writer.h"

namespace rastrel::bench {
namespace {

class CountingSink final : public ByteSink {
 public:
  bool Write(const char*, std::size_t size) override {
    bytes += size;
    return true;
  }
  bool Close() override { return true; }
  std::int64_t bytes = 0;
};

class QuietMessages final : public MessageHook {
 public:
  void ShowMessage(std::string_view, std::string_view) override {}
};

std::int64_t CountRuns(const Bitmap& picture) {
  std::int64_t runs = 0;
  for (std::int32_t y = 0; y < picture.Height(); ++y) {
    const ColorRef* row = picture.Row(y);
    runs += 1;
    for (std::int32_t x = 1; x < picture.Width(); ++x) runs += row[x] != row[x - 1];
  }
  return runs;
}

void WriteGra(benchmark::State& state, Bitmap (*make)(std::int32_t, std::int32_t)) {
  const auto side = static_cast<std::int32_t>(state.range(0));
  const Bitmap picture = make(side, side);
  const GraFormat format{.width = side * 50, .height = side * 50, .color_mode = ColorMode::DrawAll};
  NoProgress progress;
  QuietMessages messages;
  std::int64_t bytes = 0;
  for (auto _ : state) {
    CountingSink sink;
    WriteGraStream(sink, picture, format, progress, messages, "bench.gra");
    bytes = sink.bytes;
  }
  const double rectangles = static_cast<double>(CountRuns(picture));
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["rectangles"] = benchmark::Counter(
      rectangles * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}

BENCHMARK_CAPTURE(WriteGra, WorstCase, WorstCasePicture)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WriteGra, PhotoLike, PhotoLikePicture)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WriteGra, FlatDiagram, DiagramPicture)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rastrel::bench

BENCHMARK_MAIN();
