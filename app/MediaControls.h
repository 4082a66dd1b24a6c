#pragma once

#include "platform/MediaPlayer.h"

#include <QObject>
#include <QPointer>

namespace calmfield::shell {
class MainWindow;
}
namespace calmfield::player {
class MixPlayer;
}

namespace calmfield::app {

class ProgramWindows;

// The program as the desktop's media controls see it: the main window's player while the window
// is there, and once it has closed, nothing playing and the windows that keep the program running.
class MediaControls : public QObject, public platform::MediaPlayer {
    Q_OBJECT

  public:
    MediaControls(player::MixPlayer& player, shell::MainWindow& window, ProgramWindows& windows,
                  QObject* parent = nullptr);

    State state() const override;
    void play() override;
    void pause() override;
    void playPause() override;
    void raise() override;
    void quit() override;

  signals:
    // What state() gives has changed, whether from the media controls, the window or the sleep
    // timer.
    void mediaStateChanged();

  private:
    void recheck();

    QPointer<player::MixPlayer> player_;
    QPointer<shell::MainWindow> window_;
    ProgramWindows& windows_;
    State announced_;
};

} // namespace calmfield::app
