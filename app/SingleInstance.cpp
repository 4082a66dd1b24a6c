#include "app/SingleInstance.h"

#include "app/SleepDuration.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace calmfield::app {
namespace {

constexpr char kShowRequest[] = "show\n";
constexpr char kSleepRequest[] = "sleep ";

QByteArray requestLine(std::optional<std::chrono::seconds> sleep) {
    if (!sleep)
        return kShowRequest;
    return kSleepRequest + QByteArray::number(static_cast<qint64>(sleep->count())) + '\n';
}

} // namespace

SingleInstance::SingleInstance(std::filesystem::path runtimeFolder)
    : folder_(std::move(runtimeFolder)) {}

SingleInstance::~SingleInstance() {
    server_.reset();
    if (lock_ >= 0)
        ::close(lock_);
}

SingleInstance::Claim SingleInstance::claim(std::optional<std::chrono::seconds> sleep) {
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
            socket.write(requestLine(sleep));
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
        auto readRequests = [this, socket] {
            while (socket->canReadLine())
                takeRequest(socket->readLine());
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequests);
        readRequests();
    }
}

// A line that is not understood, as from another version of the program, is passed over.
void SingleInstance::takeRequest(const QByteArray& line) {
    if (line == kShowRequest) {
        emit showRequested();
        return;
    }
    if (!line.startsWith(kSleepRequest) || !line.endsWith('\n'))
        return;
    bool number = false;
    const std::chrono::seconds duration{
        line.mid(sizeof kSleepRequest - 1).trimmed().toLongLong(&number)};
    if (number && duration >= kShortestSleep && duration <= kLongestSleep)
        emit sleepRequested(duration);
}

} // namespace calmfield::app
