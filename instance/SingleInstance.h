#pragma once

#include "instance/InstanceRequest.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QIODevice;
class QLocalServer;

namespace calmfield::instance {

// Keeps the program to one running copy per user: the first start holds a lock in the user's
// runtime folder and listens on a socket beside it, and a later start hands its request to that
// one instead of running, as one line (InstanceRequest.h). The running copy answers each start
// that reaches it with one line naming its kind, "window\n" or "headless\n".
class SingleInstance : public QObject {
    Q_OBJECT

  public:
    // How long a later start tries to reach the running copy.
    static constexpr std::chrono::milliseconds kReachTimeout{800};
    // How long it then waits for the answer: longer than the running copy may take to open the
    // sound server while starting, before it answers.
    static constexpr std::chrono::milliseconds kAnswerTimeout{5000};

    // Whether a copy plays with its windows or without any.
    enum class Kind { window, headless };

    enum class Claim {
        // No other copy runs; this one goes on and should listen().
        First,
        // Another copy runs and has been handed the request.
        HandedOver,
        // Another copy holds the lock but could not be reached.
        NotAnswering,
        // The lock cannot be made: the program runs without the guard.
        Unavailable,
    };

    SingleInstance(std::filesystem::path runtimeFolder, Kind kind);
    // Lets go of the lock and removes the socket.
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // When another copy runs, hands it `request`, if any, and learns its kind.
    Claim claim(const std::optional<InstanceRequest>& request = ShowRequest{});
    // The same with any number of requests, taken in their order; for an open request it also
    // waits for the answer.
    Claim claim(const std::vector<InstanceRequest>& requests);
    // The kind of the copy that claim() handed over to; empty when it did not answer.
    std::optional<Kind> runningKind() const { return runningKind_; }
    // What that copy answered an open request; empty when it did not.
    std::optional<MixAnswer> mixAnswer() const { return mixAnswer_; }

    // Loads the mix of a later start's open request, or says why it could not.
    using MixOpener = std::function<MixAnswer(const OpenRequest&)>;
    // Answers later starts' open requests with `opener`; until then each is answered as not loaded.
    void setMixOpener(MixOpener opener) { mixOpener_ = std::move(opener); }
    // Takes the requests of later starts, each emitting its signal from the event loop. A socket
    // left by a copy that crashed is replaced. Only after claim() gave First.
    bool listen();

  signals:
    // `activationToken` is empty when the later start had none.
    void showRequested(const QByteArray& activationToken);
    void sleepRequested(std::chrono::seconds duration);

  private:
    QString socketPath() const;
    void takeConnections();
    void takeRequest(const InstanceRequest& request, QIODevice& from);

    std::filesystem::path folder_;
    Kind kind_;
    std::optional<Kind> runningKind_;
    std::optional<MixAnswer> mixAnswer_;
    MixOpener mixOpener_;
    int lock_ = -1;
    std::unique_ptr<QLocalServer> server_;
};

} // namespace calmfield::instance
