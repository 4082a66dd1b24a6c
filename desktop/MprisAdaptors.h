#pragma once

#include "desktop/MediaControlsTarget.h"
#include "files/ProgramTitle.h"

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QStringList>
#include <QVariantMap>

// The two MPRIS interfaces as the session bus sees them, served by one object at kMprisObjectPath.
namespace calmfield::desktop {

class MprisService;

inline constexpr char kMprisObjectPath[] = "/org/mpris/MediaPlayer2";
inline constexpr char kMprisPlayerInterface[] = "org.mpris.MediaPlayer2.Player";

QString mprisPlaybackStatus(MediaControlsTarget::Status status);
// The mix as one endless track.
QVariantMap mprisMetadata(const MediaControlsTarget::State& state);

// org.mpris.MediaPlayer2: the program as a whole.
class MprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool CanQuit READ yes)
    Q_PROPERTY(bool HasTrackList READ no)
    Q_PROPERTY(QStringList SupportedUriSchemes READ none)
    Q_PROPERTY(QStringList SupportedMimeTypes READ none)

  public:
    MprisRootAdaptor(MprisService& service, MediaControlsTarget& player, QString desktopEntry);

    QString identity() const { return QString::fromLatin1(files::kProgramTitle); }
    QString desktopEntry() const { return desktopEntry_; }
    bool canRaise() const { return player_.canRaise(); }
    bool yes() const { return true; }
    bool no() const { return false; }
    QStringList none() const { return {}; }

  public slots:
    void Raise();
    void Quit();

  private:
    MediaControlsTarget& player_;
    QString desktopEntry_;
};

// org.mpris.MediaPlayer2.Player: playback of the mix, which has no position or rate; Next and
// Previous step through the mixes loaded last.
class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    // The volume belongs to the window's sliders and the master volume: a client's write is
    // ignored.
    Q_PROPERTY(double Volume READ one WRITE ignore)
    Q_PROPERTY(double Rate READ one WRITE ignore)
    Q_PROPERTY(double MinimumRate READ one)
    Q_PROPERTY(double MaximumRate READ one)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanGoNext READ canStep)
    Q_PROPERTY(bool CanGoPrevious READ canStep)
    Q_PROPERTY(bool CanSeek READ no)
    Q_PROPERTY(bool CanPlay READ yes)
    Q_PROPERTY(bool CanPause READ yes)
    Q_PROPERTY(bool CanControl READ yes)

  public:
    MprisPlayerAdaptor(MprisService& service, MediaControlsTarget& player);

    QString playbackStatus() const;
    QVariantMap metadata() const;
    bool canStep() const { return player_.state().canStep; }
    double one() const { return 1.0; }
    void ignore(double) {}
    qlonglong position() const { return 0; }
    bool yes() const { return true; }
    bool no() const { return false; }

  public slots:
    void Play();
    void Pause();
    void PlayPause();
    // A noise mix has no start to go back to.
    void Stop();
    void Next();
    void Previous();
    void Seek([[maybe_unused]] qlonglong Offset) {}
    void SetPosition([[maybe_unused]] const QDBusObjectPath& TrackId,
                     [[maybe_unused]] qlonglong Position) {}
    void OpenUri([[maybe_unused]] const QString& Uri) {}

  signals:
    void Seeked(qlonglong Position); // never sent: the mix has no position

  private:
    MprisService& service_;
    MediaControlsTarget& player_;
};

} // namespace calmfield::desktop
