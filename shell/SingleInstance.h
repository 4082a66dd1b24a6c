#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <filesystem>
#include <memory>

class QLocalServer;

namespace calmfield::shell {

// Keeps the program to one running copy per user: the first start holds a lock in the user's
// runtime folder and listens on a socket beside it, and a later start asks that one to show
// itself instead of running.
class SingleInstance : public QObject {
    Q_OBJECT

  public:
    // How long a later start tries to reach the running copy.
    static constexpr std::chrono::milliseconds kReachTimeout{800};

    enum class Claim {
        // No other copy runs; this one goes on and should listen().
        First,
        // Another copy runs and has been asked to show itself.
        HandedOver,
        // Another copy holds the lock but could not be reached.
        NotAnswering,
        // The lock cannot be made: the program runs without the guard.
        Unavailable,
    };

    explicit SingleInstance(std::filesystem::path runtimeFolder);
    // Lets go of the lock and removes the socket.
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    Claim claim();
    // Takes the requests of later starts, each emitting showRequested() from the event loop. A
    // socket left by a copy that crashed is replaced. Only after claim() gave First.
    bool listen();

  signals:
    void showRequested();

  private:
    QString socketPath() const;
    void takeConnections();

    std::filesystem::path folder_;
    int lock_ = -1;
    std::unique_ptr<QLocalServer> server_;
};

} // namespace calmfield::shell
