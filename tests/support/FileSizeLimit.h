#pragma once

#include <sys/resource.h>

#include <csignal>

namespace calmfield::testsupport {

// While it lives, no file this process writes may grow past `bytes`: a write beyond fails, as
// on a full disk, whoever runs the test (root included).
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) : previousHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
        if (getrlimit(RLIMIT_FSIZE, &saved_) != 0)
            return;
        rlimit tight = saved_;
        tight.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &tight) == 0;
    }
    ~FileSizeLimit() {
        if (active_)
            setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool active() const { return active_; }

  private:
    rlimit saved_{};
    bool active_ = false;
    void (*previousHandler_)(int);
};

} // namespace calmfield::testsupport
