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
        // Counts the mixes loaded from files in this run, so that each is a track of its own; 0
        // until one is.
        int track = 0;
        // Whether Next and Previous have another mix to go to.
        bool canStep = false;
        bool operator==(const State&) const = default;
    };

    virtual ~MediaPlayer() = default;

    virtual State state() const = 0;
    // Fades out to a pause and back in; a pause keeps every control as it is.
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void playPause() = 0;
    // Load the next older or next newer of the mixes loaded last.
    virtual void next() = 0;
    virtual void previous() = 0;
    // Whether the program has a window to bring forward.
    virtual bool canRaise() const = 0;
    // Brings forward the main window, or whichever window keeps the program running.
    virtual void raise() = 0;
    // Ends the program as Exit does.
    virtual void quit() = 0;
};

} // namespace calmfield::platform
