#include "core/bitmap_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <span>
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

// An open file descriptor, closed when it goes.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() { Close(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

// Opens without waiting: a named pipe that nobody writes to would keep the
// open waiting for ever, and this way it reads as empty. Reads wait again,
// since the writer of a pipe may be slow.
int OpenForReading(const std::string& path) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return -1;
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Reads until `size` bytes have arrived or the file ends; a read that a
// signal interrupts is taken up again. Returns the bytes read, or -1 on an
// error.
std::ptrdiff_t ReadFully(int fd, std::uint8_t* data, std::size_t size) {
  std::size_t got = 0;
  while (got < size) {
    const ssize_t n = ::read(fd, data + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return static_cast<std::ptrdiff_t>(got);
}

// The bytes read so far. Not a vector, whose resize would first clear what
// the read is about to overwrite, a second pass over up to a gigabyte.
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

  // Reads until the buffer is full or the file ends; false on a read error.
  bool Fill(int fd) {
    const std::ptrdiff_t got = ReadFully(fd, data_.get() + size_, capacity_ - size_);
    if (got < 0) return false;
    size_ += static_cast<std::size_t>(got);
    return true;
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
Buffer ReadRest(int fd, const std::uint8_t (&signature)[2]) {
  struct stat status {};
  const bool sized = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size >= 2;
  const std::size_t capacity = sized ? static_cast<std::size_t>(std::min<std::uintmax_t>(
                                           static_cast<std::uintmax_t>(status.st_size), kReadLimit))
                                     : kFirstCapacity;
  Buffer buffer(capacity);
  buffer.Append(signature[0]);
  buffer.Append(signature[1]);
  for (;;) {
    if (!buffer.Fill(fd)) CantOpen();
    if (!buffer.Full() || buffer.capacity() == kReadLimit) break;
    std::uint8_t next;
    const std::ptrdiff_t got = ReadFully(fd, &next, 1);
    if (got < 0) CantOpen();
    if (got == 0) break;
    buffer.Grow(std::min(buffer.capacity() * 2, kReadLimit));
    buffer.Append(next);
  }
  return buffer;
}

}  // namespace

Bitmap ReadBitmapFile(const std::string& path) {
  Descriptor file(OpenForReading(path));
  if (file.get() < 0) CantOpen();

  // A read error (a directory opens, but does not read) is not a format
  // error, so it is told apart from a short file first.
  std::uint8_t signature[2];
  const std::ptrdiff_t got = ReadFully(file.get(), signature, sizeof signature);
  if (got < 0) CantOpen();
  if (got < 2 || signature[0] != 'B' || signature[1] != 'M') {
    throw LoadError(messages::kIllegalFileFormat);
  }

  // At the peak, the file's bytes and the decoded pixels are held together,
  // nothing more; the bytes go as soon as the picture is decoded.
  try {
    const Buffer buffer = ReadRest(file.get(), signature);
    file.Close();
    return DecodeBmp(buffer.bytes());
  } catch (const std::bad_alloc&) {
    CantOpen();  // a picture too big for the memory left cannot be opened either
  }
}

}  // namespace rastrel
