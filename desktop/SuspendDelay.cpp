#include "desktop/SuspendDelay.h"

#include "desktop/PowerServices.h"
#include "files/ProgramTitle.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace calmfield::desktop {
namespace {

const QString kLogin = QStringLiteral("org.freedesktop.login1");
const QString kLoginObject = QStringLiteral("/org/freedesktop/login1");
const QString kLoginManager = QStringLiteral("org.freedesktop.login1.Manager");

} // namespace

SuspendDelay::SuspendDelay(QDBusConnection systemBus, QObject* parent)
    : QObject(parent), bus_(std::move(systemBus)) {
    // From any sender: naming logind would make the bus library look up its owner, and wait.
    bus_.connect(QString(), kLoginObject, kLoginManager, QStringLiteral("PrepareForSleep"), this,
                 SLOT(prepareForSleep(bool)));
}

void SuspendDelay::take() {
    wanted_ = true;
    if (asking_ || held())
        return;
    asking_ = true;
    QDBusMessage message = QDBusMessage::createMethodCall(kLogin, kLoginObject, kLoginManager,
                                                          QStringLiteral("Inhibit"));
    message << QStringLiteral("sleep") << QString::fromLatin1(files::kProgramTitle)
            << QStringLiteral("Fade the noise out before sleeping") << QStringLiteral("delay");
    auto* watcher = new QDBusPendingCallWatcher(
        bus_.asyncCall(message, static_cast<int>(kPowerServiceTimeout.count())), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* answer) {
                answer->deleteLater();
                asking_ = false;
                const QDBusPendingReply<QDBusUnixFileDescriptor> lock = *answer;
                if (lock.isError() || !wanted_)
                    return; // an inhibitor not kept closes with its last copy
                lock_ = lock.value();
            });
}

void SuspendDelay::release() {
    wanted_ = false;
    lock_ = QDBusUnixFileDescriptor();
}

void SuspendDelay::prepareForSleep(bool sleeping) {
    emit suspendComing(sleeping);
}

} // namespace calmfield::desktop
