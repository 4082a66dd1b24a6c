#pragma once

#include "persistence/KeepAwakeChoice.h"
#include "session/PlayingWatch.h"

#include <QObject>

#include <filesystem>
#include <memory>

class QDBusConnection;

namespace calmfield::desktop {
class IdleInhibitor;
}
namespace calmfield::session {
class MessageSink;
}

namespace calmfield::session {

class NoiseSession;

// Keeps the computer from suspending for idleness while the noise plays (a colour ticked, not
// paused, the run's sound not ended) and the user wants it so, and withdraws the request as soon
// as either stops. The choice is the user's own, kept in the user's settings folder. A desktop's
// refusal is told once a run.
class KeepAwake : public QObject {
    Q_OBJECT

  public:
    // Asks on `sessionBus`; without one, nothing is asked and ticking the item says so.
    KeepAwake(NoiseSession& session, const std::filesystem::path& userFolder,
              const QDBusConnection* sessionBus, session::MessageSink& messages,
              QObject* parent = nullptr);
    ~KeepAwake() override;

    bool wanted() const { return choice_.wanted(); }
    // The user's choice, kept for later runs. Wanting it while the desktop offers no way to keep
    // the computer awake says so.
    void setWanted(bool wanted);
    // Whether the desktop refused the request and nothing else holds the computer awake.
    bool refused() const;

  signals:
    void refusalChanged(bool refused);

  private:
    void recheck();
    void checked(bool answered);
    void tellNoWay();
    void tellRefusal(bool refused);

    PlayingWatch playing_;
    persistence::KeepAwakeChoice choice_;
    session::MessageSink& messages_;
    std::unique_ptr<desktop::IdleInhibitor> inhibitor_;
    bool refusalTold_ = false;
};

} // namespace calmfield::session
