#pragma once

#include "files/Result.h"

#include <QString>

#include <filesystem>

namespace calmfield::persistence {

// Whether the computer is to be kept awake while the noise plays: the user's choice, kept in a
// small file of its own in the user's settings folder, apart from the startup settings file.
// Yes unless that file says no.
class KeepAwakeChoice {
  public:
    static constexpr const char* kFileName = "keep-awake";

    // Reads the choice kept in `userFolder`.
    explicit KeepAwakeChoice(std::filesystem::path userFolder);

    bool wanted() const { return wanted_; }
    // Keeps `wanted`, replacing the file only once the new one is complete. Gives what went
    // wrong if it fails; the choice holds for this run either way.
    files::Result<files::Done, QString> set(bool wanted);

  private:
    QString path() const;

    std::filesystem::path userFolder_;
    bool wanted_ = true;
};

} // namespace calmfield::persistence
