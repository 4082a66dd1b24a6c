#include "app/MediaControls.h"

#include "app/ProgramWindows.h"
#include "shell/MainWindow.h"
#include "widgets/ProgramTitle.h"

namespace calmfield::app {

MediaControls::MediaControls(shell::MainWindow& window, ProgramWindows& windows, QObject* parent)
    : QObject(parent), window_(&window), windows_(windows), announced_(window.mediaState()) {
    connect(&window, &shell::MainWindow::mediaStateMayHaveChanged, this, &MediaControls::recheck);
    // A window being destroyed may no longer be asked anything.
    connect(&window, &QObject::destroyed, this, [this] {
        window_ = nullptr;
        recheck();
    });
}

platform::MediaPlayer::State MediaControls::state() const {
    if (!window_)
        return {Status::Stopped, QString::fromLatin1(widgets::kProgramTitle), {}};
    return window_->mediaState();
}

void MediaControls::play() {
    if (window_)
        window_->play();
}

void MediaControls::pause() {
    if (window_)
        window_->pause();
}

void MediaControls::playPause() {
    if (window_ && window_->paused())
        window_->play();
    else
        pause();
}

void MediaControls::raise() {
    if (window_)
        window_->RestoreWindow();
    else
        windows_.bringOpenWindowsForward();
}

void MediaControls::quit() {
    if (window_)
        window_->exit->trigger();
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
