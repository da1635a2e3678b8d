#pragma once

#include <cstddef>
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

// Creates the file at `path` or empties an existing one. Null when it cannot
// be opened for writing, which includes a named pipe that nobody reads.
std::unique_ptr<ByteSink> OpenFileSink(const std::string& path);

}  // namespace rastrel
