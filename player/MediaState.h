#pragma once

#include <QString>
#include <QUrl>

namespace calmfield::player {

enum class PlaybackStatus { Playing, Paused, Stopped };

// What the media controls show; announced again whenever it changes.
struct MediaState {
    PlaybackStatus status = PlaybackStatus::Stopped;
    QString title; // the mix in words, "Pink + Brown Noise", or "Calmfield"
    QUrl artUrl;   // a file:// picture, or empty
    // Counts the mixes loaded from files in this run, so that each is a track of its own; 0
    // until one is.
    int track = 0;
    // Whether Next and Previous have another mix to go to.
    bool canStep = false;
    bool operator==(const MediaState&) const = default;
};

} // namespace calmfield::player
