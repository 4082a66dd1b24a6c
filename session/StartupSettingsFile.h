#pragma once

#include "persistence/StartupSettingsLocation.h"
#include "player/MixPlayer.h"
#include "session/MessageSink.h"

#include <filesystem>

namespace calmfield::session {

// The startup settings file, which carries the mix and "Start in system tray" from one run to
// the next, and the drift file beside it with the mix's drift: read into the player at start-up
// and written from it at close. A settings file that cannot be used is kept as a copy, the user is
// told, and the program starts with its usual settings; a drift file that cannot be used is told,
// and the mix plays without drift.
class StartupSettingsFile {
  public:
    StartupSettingsFile(std::filesystem::path programFolder, std::filesystem::path userFolder,
                        session::MessageSink& messages);

    void readInto(player::MixPlayer& player);
    // Writes the player's settings; until start-up has read the file, an existing one is left as
    // it is.
    void writeFrom(const player::MixPlayer& player);

  private:
    void tellUnusable(const std::filesystem::path& file, const QString& error);
    engine::DriftSetting readDrift();

    persistence::StartupSettingsLocation location_;
    std::filesystem::path userFolder_;
    session::MessageSink& messages_;
    bool read_ = false;
};

} // namespace calmfield::session
