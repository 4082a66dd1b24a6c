#pragma once

#include "tests/support/ChildProcess.h"

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace calmfield::bench {

// The real program, run from a copy of its folder with a settings file of our choosing, on a
// given display and sound server, with a home, settings and runtime folder of its own and no
// session bus: the user's settings, runtime folder and sound server are never touched, nor is the
// built program's folder. The program ends with this object, as it does at logout.
class ProgramRun {
  public:
    // `builtFolder` holds the built program and its files. Everything of this run goes into a
    // temporary folder, removed with this object.
    explicit ProgramRun(std::filesystem::path builtFolder);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // Starts the program with `settingsLine` as its settings file, its window on `display` or,
    // with no display, without any window (--headless), playing through `soundServer` (an address
    // as in PULSE_SERVER), and waits until its start-up is over. False when it could not be
    // started or ended; error() then says why.
    bool start(const std::string& settingsLine, const std::string& display,
               const std::string& soundServer);

    pid_t pid() const { return program_ ? program_->pid() : -1; }
    // The program's own settings folder, ~/.config/calmfield.
    std::filesystem::path configFolder() const { return folder_ / "config" / "calmfield"; }
    const std::string& error() const { return error_; }

  private:
    std::filesystem::path programFolder() const { return folder_ / "program"; }
    std::filesystem::path logPath() const { return folder_ / "program.log"; }
    std::vector<std::string> environment(const std::string& display,
                                         const std::string& soundServer) const;
    bool waitForStartUp();

    std::filesystem::path builtFolder_;
    std::filesystem::path folder_;
    std::optional<testsupport::ChildProcess> program_;
    std::string error_;
};

} // namespace calmfield::bench
