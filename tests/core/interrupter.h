#pragma once

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace rastrel::testing {

// Signals the thread that creates it with SIGUSR1 every 100 microseconds
// while it lives. The handler is installed without SA_RESTART, as some
// programs' are, so that a read or write that is waiting returns EINTR, or
// a short count, as under any such signal.
class Interrupter {
 public:
  Interrupter() : target_(pthread_self()) {
    struct sigaction action {};
    action.sa_handler = [](int) { ++signals_; };
    sigemptyset(&action.sa_mask);
    sigaction(SIGUSR1, &action, &previous_);
    thread_ = std::thread([this] {
      while (!stop_) {
        pthread_kill(target_, SIGUSR1);
        std::this_thread::sleep_for(std::chrono::microseconds(100));
      }
    });
  }
  ~Interrupter() {
    stop_ = true;
    thread_.join();
    sigaction(SIGUSR1, &previous_, nullptr);
  }
  Interrupter(const Interrupter&) = delete;
  Interrupter& operator=(const Interrupter&) = delete;

  // How many signals have been handled so far, by any interrupter.
  static int Signals() { return signals_; }

 private:
  static inline std::atomic<int> signals_ = 0;
  pthread_t target_;
  struct sigaction previous_ {};
  std::atomic<bool> stop_ = false;
  std::thread thread_;
};

}  // namespace rastrel::testing
