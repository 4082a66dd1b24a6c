#pragma once

#include "tests/support/ChildProcess.h"

#include <filesystem>
#include <optional>
#include <string>

namespace calmfield::bench {

// An X server of our own (Xvfb) on a display number free at the time, reached only through its
// local socket; it ends with this object.
class PrivateDisplay {
  public:
    PrivateDisplay();
    ~PrivateDisplay();
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

    // Starts the server; false when it could not be started or gave no display in time.
    bool start();

    // The value for DISPLAY, ":" and the number.
    const std::string& name() const { return name_; }

  private:
    std::filesystem::path folder_;
    std::optional<testsupport::ChildProcess> server_;
    std::string name_;
};

} // namespace calmfield::bench
