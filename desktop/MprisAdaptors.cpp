#include "desktop/MprisAdaptors.h"

#include "desktop/MprisService.h"
#include "files/ProgramTitle.h"

#include <QMetaObject>

#include <utility>

namespace calmfield::desktop {

QString mprisPlaybackStatus(MediaControlsTarget::Status status) {
    switch (status) {
    case MediaControlsTarget::Status::Playing:
        return QStringLiteral("Playing");
    case MediaControlsTarget::Status::Paused:
        return QStringLiteral("Paused");
    case MediaControlsTarget::Status::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

QVariantMap mprisMetadata(const MediaControlsTarget::State& state) {
    // Paths under /org/mpris are reserved for the interface itself.
    QString track = QStringLiteral("/example/calmfield/Calmfield/Mix");
    if (state.track > 0)
        track += QStringLiteral("/%1").arg(state.track);
    QVariantMap metadata{
        {QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(track))},
        {QStringLiteral("xesam:title"), state.title},
        {QStringLiteral("xesam:artist"), QStringList{QString::fromLatin1(files::kProgramTitle)}},
    };
    if (!state.artUrl.isEmpty())
        metadata.insert(QStringLiteral("mpris:artUrl"), state.artUrl.toString());
    return metadata;
}

MprisRootAdaptor::MprisRootAdaptor(MprisService& service, MediaControlsTarget& player,
                                   QString desktopEntry)
    : QDBusAbstractAdaptor(&service), player_(player), desktopEntry_(std::move(desktopEntry)) {}

void MprisRootAdaptor::Raise() {
    player_.raise();
}

// Ending the program waits until the caller has its answer and the call has left this object.
void MprisRootAdaptor::Quit() {
    QMetaObject::invokeMethod(
        parent(), [&player = player_] { player.quit(); }, Qt::QueuedConnection);
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService& service, MediaControlsTarget& player)
    : QDBusAbstractAdaptor(&service), service_(service), player_(player) {}

QString MprisPlayerAdaptor::playbackStatus() const {
    return mprisPlaybackStatus(player_.state().status);
}

QVariantMap MprisPlayerAdaptor::metadata() const {
    return mprisMetadata(player_.state());
}

void MprisPlayerAdaptor::Play() {
    player_.play();
    service_.stateChanged();
}

void MprisPlayerAdaptor::Pause() {
    player_.pause();
    service_.stateChanged();
}

void MprisPlayerAdaptor::PlayPause() {
    player_.playPause();
    service_.stateChanged();
}

void MprisPlayerAdaptor::Next() {
    player_.next();
    service_.stateChanged();
}

void MprisPlayerAdaptor::Previous() {
    player_.previous();
    service_.stateChanged();
}

void MprisPlayerAdaptor::Stop() {
    Pause();
}

} // namespace calmfield::desktop
