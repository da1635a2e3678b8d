#include "bench/plain_gra_writer.h"

#include <cstdint>

namespace rastrel {

void WritePlainGra(std::FILE* out, const Bitmap& picture, const GraFormat& format) {
  const int w = picture.Width();
  const int h = picture.Height();
  const int cell_width = w > 0 ? format.width / w : 0;
  const int cell_height = h > 0 ? format.height / h : 0;
  std::fprintf(out,
               "%%Ngraph GRAF\r\n%%Creator: Quillmarker\r\nI,5,0,0,%d,%d,10000\r\n"
               "V,5,0,0,%d,%d,1\r\nA,5,0,40,0,0,1000\r\n",
               format.width, format.height, format.width, format.height);
  bool have_color = false;
  ColorRef current = 0;
  if (format.color_mode == ColorMode::Background) {
    std::fprintf(out, "G,3,%d,%d,%d\r\nB,5,0,0,%d,%d,1\r\n", RedOf(format.key_color),
                 GreenOf(format.key_color), BlueOf(format.key_color), format.width, format.height);
    have_color = true;
    current = format.key_color;
  }
  for (int y = 0; y < h && w > 0; ++y) {
    int start = 0;
    for (int x = 1; x <= w; ++x) {
      const ColorRef color = picture.Pixel(start, y);
      if (x < w && picture.Pixel(x, y) == color) continue;
      if (format.color_mode == ColorMode::DrawAll || color != format.key_color) {
        if (!have_color || color != current) {
          std::fprintf(out, "G,3,%d,%d,%d\r\n", RedOf(color), GreenOf(color), BlueOf(color));
          have_color = true;
          current = color;
        }
        std::fprintf(out, "B,5,%d,%d,%d,%d,1\r\n", start * cell_width, y * cell_height,
                     x * cell_width, y * cell_height + cell_height);
      }
      start = x;
    }
  }
  std::fprintf(out, "E,0\r\n");
}

}  // namespace rastrel
