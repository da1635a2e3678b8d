#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/byte_sink.h"

namespace rastrel::testing {

// Keeps what is written; can be told to fail once `fail_at` bytes have
// arrived, taking the bytes before that point as a full disk would, and
// every write after.
class MemorySink final : public ByteSink {
 public:
  explicit MemorySink(std::size_t fail_at = SIZE_MAX, bool close_fails = false)
      : fail_at_(fail_at), close_fails_(close_fails) {}

  bool Write(const char* data, std::size_t size) override {
    ++writes;
    sizes.push_back(size);
    if (closed) ADD_FAILURE() << "write after close";
    const std::size_t room = fail_at_ > bytes.size() ? fail_at_ - bytes.size() : 0;
    bytes.append(data, std::min(size, room));
    last_write.assign(data, size);
    return size <= room;
  }
  bool Close() override {
    if (closed) ADD_FAILURE() << "closed twice";
    closed = true;
    return !close_fails_;
  }

  std::string bytes;
  std::string last_write;
  std::vector<std::size_t> sizes;  // of each write
  int writes = 0;
  bool closed = false;

 private:
  std::size_t fail_at_;
  bool close_fails_;
};

}  // namespace rastrel::testing
