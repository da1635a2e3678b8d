#include "bench/bench_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace rastrel::bench {
namespace {

// A fixed sequence, so that every run measures the same picture.
class Noise {
 public:
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }

 private:
  std::uint32_t state_ = 2463534242u;
};

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

Bitmap WorstCasePicture(std::int32_t width, std::int32_t height) {
  Bitmap picture(width, height);
  Noise noise;
  for (std::int32_t y = 0; y < height; ++y) {
    ColorRef* row = picture.Row(y);
    for (std::int32_t x = 0; x < width; ++x) {
      ColorRef color = noise.Next() & 0xFFFFFF;
      if (x > 0 && color == row[x - 1]) color ^= 1;
      row[x] = color;
    }
  }
  return picture;
}

Bitmap PhotoLikePicture(std::int32_t width, std::int32_t height) {
  Bitmap picture(width, height);
  Noise noise;
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      const double u = static_cast<double>(x) / width, v = static_cast<double>(y) / height;
      const double grain = static_cast<double>(noise.Next() % 9) - 4;
      auto level = [&](double value) {
        const double scaled = std::clamp(value * 255 + grain, 0.0, 255.0);
        return static_cast<std::uint8_t>(static_cast<int>(scaled) / 16 * 16);
      };
      picture.SetPixel(x, y,
                       MakeColorRef(level(0.5 + 0.5 * std::sin(6 * u + 2 * v)), level(v),
                                    level(0.5 + 0.4 * std::cos(5 * v - 3 * u * u))));
    }
  }
  return picture;
}

Bitmap DiagramPicture(std::int32_t width, std::int32_t height) {
  constexpr ColorRef kWhite = 0xFFFFFF, kGrid = 0xDDDDDD, kBlack = 0, kBar = 0xC08040,
                     kCurve = 0x2020E0;
  Bitmap picture(width, height, kWhite);
  const std::int32_t step = std::max(width / 16, 4);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      ColorRef color = kWhite;
      if (x % step == 0 || y % step == 0) color = kGrid;
      const std::int32_t bar = x / (2 * step);
      if (x % (2 * step) > step / 2 && y > height - (bar + 1) * height / 12) color = kBar;
      if (x == width / 10 || y == height - height / 10) color = kBlack;
      picture.SetPixel(x, y, color);
    }
    const double t = static_cast<double>(y) / height;
    const auto curve = static_cast<std::int32_t>(width * (0.5 + 0.4 * std::sin(9 * t)));
    for (std::int32_t x = curve; x < std::min(width, curve + 3); ++x)
      picture.SetPixel(x, y, kCurve);
  }
  return picture;
}

std::vector<std::uint8_t> EncodeBmp24(const Bitmap& picture) {
  const std::size_t stride = (static_cast<std::size_t>(picture.Width()) * 3 + 3) / 4 * 4;
  const std::size_t data_size = stride * static_cast<std::size_t>(picture.Height());
  std::vector<std::uint8_t> file;
  file.reserve(54 + data_size);
  file.push_back('B');
  file.push_back('M');
  PutLittleEndian(file, static_cast<std::uint32_t>(54 + data_size), 4);
  PutLittleEndian(file, 0, 4);
  PutLittleEndian(file, 54, 4);
  PutLittleEndian(file, 40, 4);  // BITMAPINFOHEADER
  PutLittleEndian(file, static_cast<std::uint32_t>(picture.Width()), 4);
  PutLittleEndian(file, static_cast<std::uint32_t>(picture.Height()), 4);
  PutLittleEndian(file, 1, 2);
  PutLittleEndian(file, 24, 2);
  PutLittleEndian(file, 0, 4);  // uncompressed
  PutLittleEndian(file, static_cast<std::uint32_t>(data_size), 4);
  PutLittleEndian(file, 2835, 4);
  PutLittleEndian(file, 2835, 4);
  PutLittleEndian(file, 0, 4);
  PutLittleEndian(file, 0, 4);
  for (std::int32_t y = picture.Height() - 1; y >= 0; --y) {
    const ColorRef* row = picture.Row(y);
    for (std::int32_t x = 0; x < picture.Width(); ++x) {
      file.push_back(BlueOf(row[x]));
      file.push_back(GreenOf(row[x]));
      file.push_back(RedOf(row[x]));
    }
    file.resize(file.size() + (stride - static_cast<std::size_t>(picture.Width()) * 3), 0);
  }
  return file;
}

}  // namespace rastrel::bench
