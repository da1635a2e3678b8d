// plain-convert IN.bmp OUT.gra: the conversion with the plain fprintf writer,
// for comparison with rastrel-convert --mode all.
#include <cstdio>

#include "bench/plain_gra_writer.h"
#include "core/bitmap_file.h"
#include "core/load_error.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s IN.bmp OUT.gra\n", argv[0]);
    return 2;
  }
  try {
    const rastrel::Bitmap picture = rastrel::ReadBitmapFile(argv[1]);
    std::FILE* out = std::fopen(argv[2], "w");
    if (!out) {
      std::perror(argv[2]);
      return 1;
    }
    rastrel::WritePlainGra(out, picture,
                           rastrel::GraFormat{.width = picture.Width() * 50,
                                              .height = picture.Height() * 50,
                                              .color_mode = rastrel::ColorMode::DrawAll});
    return std::fclose(out) == 0 ? 0 : 1;
  } catch (const rastrel::LoadError& error) {
    std::fprintf(stderr, "%s: %s\n", argv[1], error.what());
    return 1;
  }
}
