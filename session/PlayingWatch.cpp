#include "session/PlayingWatch.h"

#include "session/NoiseSession.h"

namespace calmfield::session {

PlayingWatch::PlayingWatch(NoiseSession& session, QObject* parent)
    : QObject(parent), session_(session) {
    player::MixPlayer& player = session.player();
    connect(&player, &player::MixPlayer::mediaStateChanged, this, &PlayingWatch::changed);
    // The program ends after the sleep timer's end, but the noise is over at once.
    connect(&player.sleepTimer(), &player::SleepTimer::ended, this, [this] {
        sleepTimerEnded_ = true;
        emit changed();
    });
    connect(&session, &NoiseSession::ended, this, &PlayingWatch::changed);
}

bool PlayingWatch::plays() const {
    const player::MixPlayer& player = session_.player();
    return !player.tickedColours().empty() && !player.paused() && !sleepTimerEnded_ &&
           !session_.hasEnded();
}

} // namespace calmfield::session
