#include "core/output_buffer.h"

namespace rastrel {

OutputBuffer::OutputBuffer(ByteSink& sink) : sink_(sink) {
  buffers_[0] = std::make_unique_for_overwrite<char[]>(kBufferSize);
  cursor_ = buffers_[0].get();
  limit_ = cursor_ + kBufferSize - kRoom;
}

OutputBuffer::~OutputBuffer() { Await(); }

void OutputBuffer::Hand() {
  char* const full = buffers_[filling_].get();
  const std::size_t size = cursor_ - full;
  // Wait until the thread is done with the other buffer; its result is the
  // first moment a failure can be seen.
  written_.acquire();
  failed_ = failed_ || !pending_ok_;
  if (!failed_) {
    if (!writer_.joinable()) writer_ = std::thread(&OutputBuffer::WriteInBackground, this);
    pending_ = full;
    pending_size_ = size;
    handed_.release();
  } else {
    written_.release();
  }
  filling_ ^= 1;
  if (!buffers_[filling_]) buffers_[filling_] = std::make_unique_for_overwrite<char[]>(kBufferSize);
  cursor_ = buffers_[filling_].get();
  limit_ = cursor_ + kBufferSize - kRoom;
}

bool OutputBuffer::Finish() {
  const char* const start = buffers_[filling_].get();
  Await();
  failed_ = failed_ || !pending_ok_;
  if (!failed_ && cursor_ > start) failed_ = !sink_.Write(start, cursor_ - start);
  cursor_ = buffers_[filling_].get();
  return !failed_;
}

// Stops the thread once the write in hand is done.
void OutputBuffer::Await() {
  if (!writer_.joinable()) return;
  written_.acquire();
  pending_ = nullptr;
  handed_.release();
  writer_.join();
  written_.release();
}

void OutputBuffer::WriteInBackground() {
  for (;;) {
    handed_.acquire();
    if (!pending_) return;
    pending_ok_ = sink_.Write(pending_, pending_size_);
    written_.release();
  }
}

}  // namespace rastrel
