#pragma once

#include "player/MediaState.h"

namespace calmfield::desktop {

// What the desktop's media controls see of the program and ask of it.
class MediaControlsTarget {
  public:
    using Status = player::PlaybackStatus;
    using State = player::MediaState;

    virtual ~MediaControlsTarget() = default;

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

} // namespace calmfield::desktop
