// make-bench-bitmap KIND WIDTH HEIGHT OUT.bmp: writes one of the benchmark
// pictures (worst, photo or diagram) as a 24-bit bitmap file.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_pictures.h"

int main(int argc, char** argv) {
  using namespace rastrel::bench;
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s worst|photo|diagram WIDTH HEIGHT OUT.bmp\n", argv[0]);
    return 2;
  }
  const std::string kind = argv[1];
  const int width = std::atoi(argv[2]), height = std::atoi(argv[3]);
  if (width < 1 || height < 1) {
    std::fprintf(stderr, "%s: sizes must be at least 1\n", argv[0]);
    return 2;
  }
  rastrel::Bitmap picture;
  if (kind == "worst") {
    picture = WorstCasePicture(width, height);
  } else if (kind == "photo") {
    picture = PhotoLikePicture(width, height);
  } else if (kind == "diagram") {
    picture = DiagramPicture(width, height);
  } else {
    std::fprintf(stderr, "%s: unknown kind '%s'\n", argv[0], argv[1]);
    return 2;
  }
  const auto file = EncodeBmp24(picture);
  std::FILE* out = std::fopen(argv[4], "wb");
  if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out)) {
    std::perror(argv[4]);
    return 1;
  }
  return 0;
}
