#pragma once

#include "desktop/MediaControlsTarget.h"
#include "session/ProgramActions.h"

#include <QObject>

namespace calmfield::player {
class MixPlayer;
class RecentMixes;
} // namespace calmfield::player

namespace calmfield::session {

class NoiseSession;

// The program as the desktop's media controls see it: the session's player, titled by the mix
// loaded or saved last once there is one, and its recent mixes, until the run's sound has ended;
// then nothing playing.
class MediaControls : public QObject, public desktop::MediaControlsTarget {
    Q_OBJECT

  public:
    MediaControls(NoiseSession& session, ProgramActions actions, QObject* parent = nullptr);

    State state() const override;
    void play() override;
    void pause() override;
    void playPause() override;
    void next() override;
    void previous() override;
    bool canRaise() const override { return static_cast<bool>(actions_.raise); }
    void raise() override;
    void quit() override;

  signals:
    // What state() gives has changed, whether from the media controls, the window or the sleep
    // timer.
    void mediaStateChanged();

  private:
    void recheck();

    NoiseSession& session_;
    player::MixPlayer& player_;
    player::RecentMixes& recentMixes_;
    ProgramActions actions_;
    State announced_;
};

} // namespace calmfield::session
