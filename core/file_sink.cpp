#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "core/byte_sink.h"

namespace rastrel {
namespace {

class FileSink final : public ByteSink {
 public:
  FileSink(int fd, WriteCall write) : fd_(fd), write_(std::move(write)) {}
  ~FileSink() override {
    if (fd_ >= 0) ::close(fd_);
  }

  // A write may take several calls: the kernel can accept part of it, or a
  // signal can interrupt it before anything was written.
  bool Write(const char* data, std::size_t size) override {
    while (size > 0) {
      const std::ptrdiff_t written = write_ ? write_(fd_, data, size) : ::write(fd_, data, size);
      if (written < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      if (written == 0) return false;
      data += written;
      size -= static_cast<std::size_t>(written);
    }
    return true;
  }

  bool Close() override {
    const int fd = fd_;
    fd_ = -1;
    // Linux releases the descriptor even when close reports EINTR, so it
    // must not be retried.
    return ::close(fd) == 0;
  }

 private:
  int fd_;
  WriteCall write_;
};

}  // namespace

std::unique_ptr<ByteSink> OpenFileSink(const std::string& path, const WriteCall& write) {
  // Without O_NONBLOCK, opening a named pipe that nobody reads waits for a
  // reader for ever; with it, the open fails at once. Writes then wait again,
  // as a slow reader needs.
  int fd;
  do {
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return nullptr;
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<FileSink>(fd, write);
}

}  // namespace rastrel
