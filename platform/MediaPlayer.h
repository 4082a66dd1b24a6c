#pragma once

#include <QString>
#include <QUrl>

namespace calmfield::platform {

// What the desktop's media controls see of the program and ask of it.
class MediaPlayer {
  public:
    enum class Status { Playing, Paused, Stopped };

    // What the media controls show; announced again whenever it changes.
    struct State {
        Status status = Status::Stopped;
        QString title; // the mix in words, "Pink + Brown Noise", or "Calmfield"
        QUrl artUrl;   // a file:// picture, or empty
        bool operator==(const State&) const = default;
    };

    virtual ~MediaPlayer() = default;

    virtual State state() const = 0;
    // Fades out to a pause and back in; a pause keeps every control as it is.
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void playPause() = 0;
    // Whether the program has a window to bring forward.
    virtual bool canRaise() const = 0;
    // Brings forward the main window, or whichever window keeps the program running.
    virtual void raise() = 0;
    // Ends the program as Exit does.
    virtual void quit() = 0;
};

} // namespace calmfield::platform
