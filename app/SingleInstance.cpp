#include "app/SingleInstance.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace calmfield::app {
SingleInstance::SingleInstance(std::filesystem::path runtimeFolder)
    : folder_(std::move(runtimeFolder)) {}

SingleInstance::~SingleInstance() {
    server_.reset();
    if (lock_ >= 0)
        ::close(lock_);
}

SingleInstance::Claim SingleInstance::claim(const InstanceRequest& request) {
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
        socket.connectToServer(socketPath(), QIODevice::WriteOnly);
        if (socket.waitForConnected(100)) {
            socket.write(instanceRequestLine(request));
            if (socket.waitForBytesWritten(200))
                return Claim::HandedOver;
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
    return QFile::decodeName((folder_ / "calmfield.socket").c_str());
}

void SingleInstance::takeConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
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
                    takeRequest(*request);
            }
            if (socket->bytesAvailable() >= kLongestRequestLine)
                socket->abort();
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequests);
        readRequests();
    }
}

void SingleInstance::takeRequest(const InstanceRequest& request) {
    if (const auto* show = std::get_if<ShowRequest>(&request))
        emit showRequested(show->activationToken);
    else
        emit sleepRequested(std::get<SleepRequest>(request).duration);
}

} // namespace calmfield::app
