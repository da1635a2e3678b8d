#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace rastrel {

// Where a writer's bytes go. Each call reports whether every byte arrived;
// the file sink is the real one, tests put failing ones in its place.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual bool Write(const char* data, std::size_t size) = 0;
  virtual bool Close() = 0;  // called once, also after a failed write
};

// The system call that a file sink writes with: ::write when empty. Tests
// give one that fails, stops short or is interrupted at a byte they choose.
using WriteCall = std::function<std::ptrdiff_t(int fd, const char* data, std::size_t size)>;

// Creates the file at `path` or empties an existing one. Null when it cannot
// be opened for writing, which includes a named pipe that nobody reads.
std::unique_ptr<ByteSink> OpenFileSink(const std::string& path, const WriteCall& write = {});

// How the writers open the files they write: OpenFileSink when empty.
using SinkOpener = std::function<std::unique_ptr<ByteSink>(const std::string& path)>;

}  // namespace rastrel
