#pragma once

#include <QObject>

namespace calmfield::session {

class NoiseSession;

// Whether the run's noise is playing: a colour ticked, not paused, not ended by the sleep timer
// nor with the run's sound. What keeps the computer awake follows it.
class PlayingWatch : public QObject {
    Q_OBJECT

  public:
    explicit PlayingWatch(NoiseSession& session, QObject* parent = nullptr);

    bool plays() const;

  signals:
    // plays() may have changed.
    void changed();

  private:
    NoiseSession& session_;
    bool sleepTimerEnded_ = false;
};

} // namespace calmfield::session
