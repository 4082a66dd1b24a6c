#include "session/MediaControls.h"

#include "files/ProgramTitle.h"
#include "player/MixPlayer.h"
#include "session/NoiseSession.h"

namespace calmfield::session {

MediaControls::MediaControls(NoiseSession& session, ProgramActions actions, QObject* parent)
    : QObject(parent), session_(session), player_(session.player()),
      recentMixes_(session.recentMixes()), actions_(std::move(actions)), announced_(state()) {
    connect(&player_, &player::MixPlayer::mediaStateChanged, this, &MediaControls::recheck);
    connect(&recentMixes_, &player::RecentMixes::changed, this, &MediaControls::recheck);
    connect(&session, &NoiseSession::ended, this, &MediaControls::recheck);
}

desktop::MediaControlsTarget::State MediaControls::state() const {
    if (session_.hasEnded())
        return {Status::Stopped, QString::fromLatin1(files::kProgramTitle), {}};
    State now = player_.mediaState();
    if (const QString name = recentMixes_.currentName(); !name.isEmpty())
        now.title = name;
    now.track = recentMixes_.loads();
    now.canStep = recentMixes_.canStep();
    return now;
}

void MediaControls::play() {
    if (!session_.hasEnded())
        player_.play();
}

void MediaControls::pause() {
    if (!session_.hasEnded())
        player_.pause();
}

void MediaControls::playPause() {
    if (!session_.hasEnded() && player_.paused())
        player_.play();
    else
        pause();
}

// A mix that does not load is passed over without a message: a headset's button may be pressed in
// the dark.
void MediaControls::next() {
    if (!session_.hasEnded())
        recentMixes_.next();
}

void MediaControls::previous() {
    if (!session_.hasEnded())
        recentMixes_.previous();
}

void MediaControls::raise() {
    if (actions_.raise)
        actions_.raise();
}

void MediaControls::quit() {
    actions_.quit();
}

void MediaControls::recheck() {
    State now = state();
    if (now == announced_)
        return;
    announced_ = std::move(now);
    emit mediaStateChanged();
}

} // namespace calmfield::session
