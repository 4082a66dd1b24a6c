#include "app/MediaControls.h"

#include "app/ProgramWindows.h"
#include "player/MixPlayer.h"
#include "shell/MainWindow.h"
#include "widgets/ProgramTitle.h"

namespace calmfield::app {

MediaControls::MediaControls(player::MixPlayer& player, shell::MainWindow& window,
                             ProgramWindows& windows, QObject* parent)
    : QObject(parent), player_(&player), window_(&window), windows_(windows),
      announced_(player.mediaState()) {
    connect(&player, &player::MixPlayer::mediaStateChanged, this, &MediaControls::recheck);
    // A player or window being destroyed may no longer be asked anything.
    connect(&player, &QObject::destroyed, this, [this] {
        player_ = nullptr;
        recheck();
    });
    connect(&window, &QObject::destroyed, this, [this] { window_ = nullptr; });
}

platform::MediaPlayer::State MediaControls::state() const {
    if (!player_)
        return {Status::Stopped, QString::fromLatin1(widgets::kProgramTitle), {}};
    return player_->mediaState();
}

void MediaControls::play() {
    if (player_)
        player_->play();
}

void MediaControls::pause() {
    if (player_)
        player_->pause();
}

void MediaControls::playPause() {
    if (player_ && player_->paused())
        player_->play();
    else
        pause();
}

void MediaControls::raise() {
    if (window_)
        window_->restoreWindow();
    else
        windows_.bringOpenWindowsForward();
}

void MediaControls::quit() {
    if (window_)
        window_->exitAction->trigger();
    else
        windows_.closeAll();
}

void MediaControls::recheck() {
    State now = state();
    if (now == announced_)
        return;
    announced_ = std::move(now);
    emit mediaStateChanged();
}

} // namespace calmfield::app
