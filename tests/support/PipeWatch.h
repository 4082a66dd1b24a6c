#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

namespace calmfield::testsupport {

// While it lives, sees that nothing waits on opening the pipe at `pipe` for longer than
// `patience`: when the time runs out, the pipe is opened for writing once, which lets a reader
// stuck there go on rather than hang the test, and released() says so.
class PipeWatch {
  public:
    explicit PipeWatch(std::filesystem::path pipe,
                       std::chrono::seconds patience = std::chrono::seconds(5))
        : watcher_([this, pipe = std::move(pipe), patience] {
              std::unique_lock lock(mutex_);
              if (!ended_.wait_for(lock, patience, [this] { return ending_; })) {
                  released_ = true;
                  ::close(::open(pipe.c_str(), O_WRONLY | O_NONBLOCK));
              }
          }) {}
    ~PipeWatch() {
        {
            std::lock_guard lock(mutex_);
            ending_ = true;
        }
        ended_.notify_one();
        watcher_.join();
    }
    PipeWatch(const PipeWatch&) = delete;
    PipeWatch& operator=(const PipeWatch&) = delete;

    bool released() const { return released_; }

  private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool ending_ = false;
    std::atomic<bool> released_ = false;
    std::thread watcher_; // last, so that it starts once the rest is ready
};

} // namespace calmfield::testsupport
