#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <stop_token>
#include <thread>

namespace calmfield::testsupport {

// While it lives, sees that nothing waits on opening the pipe at `pipe` for longer than
// `patience`: when the time runs out, the pipe is opened for writing once, which lets a reader
// stuck there go on rather than hang the test, and released() says so.
class PipeWatch {
  public:
    explicit PipeWatch(std::filesystem::path pipe,
                       std::chrono::seconds patience = std::chrono::seconds(5))
        : watcher_([this, pipe = std::move(pipe), patience](std::stop_token ending) {
              std::mutex mutex;
              std::unique_lock lock(mutex);
              std::condition_variable_any().wait_for(lock, ending, patience, [] { return false; });
              if (!ending.stop_requested()) {
                  released_ = true;
                  ::close(::open(pipe.c_str(), O_WRONLY | O_NONBLOCK));
              }
          }) {}

    bool released() const { return released_; }

  private:
    std::atomic<bool> released_ = false;
    std::jthread watcher_; // last, so that it starts once the rest is ready and ends first
};

} // namespace calmfield::testsupport
