#pragma once

#include <cstddef>
#include <memory>
#include <semaphore>
#include <string_view>
#include <thread>

#include "core/byte_sink.h"

namespace rastrel {

// The GRA writer's output: text goes into one buffer while a background
// thread writes the previous one to the sink, so that formatting and the
// kernel's copying overlap. A failed write is remembered and ends the
// writing: nothing after it reaches the sink. The sink is only used by one
// thread at a time, and by the caller's thread again once Finish returns.
class OutputBuffer {
 public:
  static constexpr std::size_t kBufferSize = std::size_t{1} << 20;
  // At least this much room is left after Room().
  static constexpr std::size_t kRoom = 256;

  explicit OutputBuffer(ByteSink& sink);
  ~OutputBuffer();
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  // Where the next text goes, with kRoom bytes free; hands the buffer to the
  // writing thread first when it is nearly full.
  char* Room() {
    if (cursor_ >= limit_) Hand();
    return cursor_;
  }
  void Advance(char* to) { cursor_ = to; }

  // Writes out what is buffered, waits for every write, and tells whether
  // all of it arrived.
  bool Finish();

  // Whether a write has failed so far. A failure is seen when the next
  // buffer is handed over.
  bool failed() const { return failed_; }

 private:
  void Hand();
  void Await();
  void WriteInBackground();

  ByteSink& sink_;
  std::unique_ptr<char[]> buffers_[2];
  int filling_ = 0;
  char* cursor_;
  char* limit_;
  bool failed_ = false;

  // Hand-over to the writing thread, started with the first full buffer.
  std::thread writer_;
  std::binary_semaphore handed_{0};
  std::binary_semaphore written_{1};
  const char* pending_ = nullptr;  // null: stop
  std::size_t pending_size_ = 0;
  bool pending_ok_ = true;
};

}  // namespace rastrel
