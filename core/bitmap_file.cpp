#include "core/bitmap_file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <span>
#include <system_error>
#include <utility>

#include "core/bmp_decoder.h"
#include "core/load_error.h"
#include "core/messages.h"

namespace rastrel {
namespace {

// No picture within kMaxBitmapPixels needs more of its file than this. Its
// pixel data takes at most 4 bytes a pixel (a stored row of any depth up to
// 32 bits, padding included, is at most 4 bytes per pixel, and an RLE stream
// as writers produce it is smaller still), and the headers, masks and a
// palette take well under the allowance. Reading stops here, so that a huge
// or endless file cannot exhaust memory; a picture that would need more is
// refused as cut short.
constexpr std::size_t kHeadersAllowance = std::size_t{1} << 20;
constexpr std::size_t kReadLimit =
    4 * static_cast<std::size_t>(kMaxBitmapPixels) + kHeadersAllowance;

// Where reading starts when the file's size is not known (a pipe, a device).
constexpr std::size_t kFirstCapacity = std::size_t{64} << 10;

[[noreturn]] void CantOpen() { throw LoadError(messages::kCantOpenFile); }

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The bytes read so far. Not a vector, whose resize would first clear what
// fread is about to overwrite, a second pass over up to a gigabyte.
class Buffer {
 public:
  explicit Buffer(std::size_t capacity)
      : data_(std::make_unique_for_overwrite<std::uint8_t[]>(capacity)), capacity_(capacity) {}

  void Grow(std::size_t capacity) {
    auto bigger = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);
    std::memcpy(bigger.get(), data_.get(), size_);
    data_ = std::move(bigger);
    capacity_ = capacity;
  }

  // Reads until the buffer is full or the file ends.
  void Fill(std::FILE* file) {
    while (size_ < capacity_) {
      const std::size_t got = std::fread(data_.get() + size_, 1, capacity_ - size_, file);
      if (got == 0) return;
      size_ += got;
    }
  }

  void Append(std::uint8_t byte) { data_[size_++] = byte; }
  bool Full() const { return size_ == capacity_; }
  std::size_t capacity() const { return capacity_; }
  std::span<const std::uint8_t> bytes() const { return {data_.get(), size_}; }

 private:
  std::unique_ptr<std::uint8_t[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_;
};

// Reads the rest of the file after its signature, up to kReadLimit bytes in
// all. A regular file is read into a buffer of its exact size; only a file
// whose size is unknown, or that grew since it was measured, makes the
// buffer grow.
Buffer ReadRest(std::FILE* file, const std::string& path, const std::uint8_t (&signature)[2]) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  const std::size_t capacity =
      error || size < 2 ? kFirstCapacity
                        : static_cast<std::size_t>(std::min<std::uintmax_t>(size, kReadLimit));
  Buffer buffer(capacity);
  buffer.Append(signature[0]);
  buffer.Append(signature[1]);
  for (;;) {
    buffer.Fill(file);
    if (!buffer.Full() || buffer.capacity() == kReadLimit) break;
    const int next = std::fgetc(file);
    if (next == EOF) break;
    buffer.Grow(std::min(buffer.capacity() * 2, kReadLimit));
    buffer.Append(static_cast<std::uint8_t>(next));
  }
  if (std::ferror(file)) CantOpen();
  return buffer;
}

}  // namespace

Bitmap ReadBitmapFile(const std::string& path) {
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) CantOpen();

  // A read error (a directory opens, but does not read) is not a format
  // error, so it is told apart from a short file first.
  std::uint8_t signature[2];
  const std::size_t got = std::fread(signature, 1, sizeof signature, file.get());
  if (std::ferror(file.get())) CantOpen();
  if (got < sizeof signature || signature[0] != 'B' || signature[1] != 'M') {
    throw LoadError(messages::kIllegalFileFormat);
  }

  // At the peak, the file's bytes and the decoded pixels are held together,
  // nothing more; the bytes go as soon as the picture is decoded.
  try {
    const Buffer buffer = ReadRest(file.get(), path, signature);
    file.reset();
    return DecodeBmp(buffer.bytes());
  } catch (const std::bad_alloc&) {
    CantOpen();  // a picture too big for the memory left cannot be opened either
  }
}

}  // namespace rastrel
