#include "instance/SingleInstance.h"

#include "instance/RuntimeFolder.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

namespace calmfield::instance {
namespace {

QByteArray kindLine(SingleInstance::Kind kind) {
    return kind == SingleInstance::Kind::window ? "window\n" : "headless\n";
}

// The next line on `socket`, waiting for it until `deadline`; empty when none comes.
QByteArray answerLine(QLocalSocket& socket, std::chrono::steady_clock::time_point deadline,
                      qsizetype longest) {
    while (!socket.canReadLine()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !socket.waitForReadyRead(static_cast<int>(left.count())))
            return {};
    }
    // readLine's limit counts a terminating null it does not return.
    return socket.readLine(longest + 1);
}

// The kind the running copy names on `socket`, waiting for it until `deadline`.
std::optional<SingleInstance::Kind> answeredKind(QLocalSocket& socket,
                                                 std::chrono::steady_clock::time_point deadline) {
    const QByteArray line = answerLine(socket, deadline, 32);
    for (const auto kind : {SingleInstance::Kind::window, SingleInstance::Kind::headless})
        if (line == kindLine(kind))
            return kind;
    return std::nullopt;
}

} // namespace

SingleInstance::SingleInstance(std::filesystem::path runtimeFolder, Kind kind)
    : folder_(std::move(runtimeFolder)), kind_(kind) {}

SingleInstance::~SingleInstance() {
    server_.reset();
    if (lock_ >= 0)
        ::close(lock_);
}

SingleInstance::Claim SingleInstance::claim(const std::optional<InstanceRequest>& request) {
    return claim(request ? std::vector<InstanceRequest>{*request} : std::vector<InstanceRequest>{});
}

SingleInstance::Claim SingleInstance::claim(const std::vector<InstanceRequest>& requests) {
    // The kernel lets go of the lock when the process ends, however it ends, so that a crashed
    // copy never stands in the way.
    const auto lockFile = folder_ / "calmfield.lock";
    const int lock = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock < 0)
        return Claim::Unavailable;
    if (::flock(lock, LOCK_EX | LOCK_NB) == 0) {
        lock_ = lock;
        return Claim::First;
    }
    const bool heldElsewhere = errno == EWOULDBLOCK;
    ::close(lock);
    if (!heldElsewhere)
        return Claim::Unavailable;

    // The running copy may have taken the lock a moment ago and not be listening yet.
    const auto deadline = std::chrono::steady_clock::now() + kReachTimeout;
    do {
        QLocalSocket socket;
        socket.connectToServer(socketPath(), QIODevice::ReadWrite);
        if (socket.waitForConnected(100)) {
            for (const InstanceRequest& request : requests)
                socket.write(instanceRequestLine(request));
            if (requests.empty() || socket.waitForBytesWritten(200)) {
                runningKind_ =
                    answeredKind(socket, std::chrono::steady_clock::now() + kAnswerTimeout);
                const bool opens = std::any_of(requests.begin(), requests.end(), [](const auto& r) {
                    return std::holds_alternative<OpenRequest>(r);
                });
                if (runningKind_ && opens)
                    mixAnswer_ = readMixAnswer(
                        answerLine(socket, std::chrono::steady_clock::now() + kAnswerTimeout,
                                   kLongestAnswerLine));
                return Claim::HandedOver;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < deadline);
    return Claim::NotAnswering;
}

bool SingleInstance::listen() {
    QLocalServer::removeServer(socketPath());
    server_ = std::make_unique<QLocalServer>();
    if (!server_->listen(socketPath()))
        return false;
    connect(server_.get(), &QLocalServer::newConnection, this, &SingleInstance::takeConnections);
    return true;
}

QString SingleInstance::socketPath() const {
    return QFile::decodeName((folder_ / kSocketName).c_str());
}

void SingleInstance::takeConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        socket->write(kindLine(kind_));
        // A sender that goes on past the longest request without ending its line is not one of
        // ours, and is not listened to further.
        auto readRequests = [this, socket] {
            while (socket->canReadLine()) {
                // readLine's limit counts a terminating null it does not return.
                const QByteArray line = socket->readLine(kLongestRequestLine + 1);
                if (!line.endsWith('\n')) {
                    socket->abort();
                    return;
                }
                if (const auto request = readInstanceRequest(line))
                    takeRequest(*request, *socket);
            }
            if (socket->bytesAvailable() >= kLongestRequestLine)
                socket->abort();
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequests);
        readRequests();
    }
}

void SingleInstance::takeRequest(const InstanceRequest& request, QIODevice& from) {
    if (const auto* show = std::get_if<ShowRequest>(&request)) {
        emit showRequested(show->activationToken);
    } else if (const auto* sleep = std::get_if<SleepRequest>(&request)) {
        emit sleepRequested(sleep->duration);
    } else {
        const auto& open = std::get<OpenRequest>(request);
        const MixAnswer answer =
            mixOpener_ ? mixOpener_(open)
                       : files::failure(QStringLiteral("Calmfield is not ready to load mixes."));
        from.write(mixAnswerLine(answer));
    }
}

} // namespace calmfield::instance
