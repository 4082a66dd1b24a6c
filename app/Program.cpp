#include "app/Program.h"

#include "app/Buses.h"
#include "desktop/MprisService.h"
#include "ending/TerminationSignals.h"
#include "instance/SingleInstance.h"
#include "session/MessageSink.h"
#include "session/MixOpening.h"

#include <QFile>
#include <QMetaObject>

namespace calmfield::app {

Program::Program(ProgramParts parts)
    : messages_(parts.messages), bringForward_(std::move(parts.bringForward)),
      endRun_(std::move(parts.endRun)), sessionBus_(std::move(parts.sessionBus)),
      session_(parts.devices, parts.folders, parts.messages, std::move(parts.sleepClock)),
      mediaControls_(session_, std::move(parts.actions)),
      keepAwake_(session_, parts.folders.userSettingsFolder, sessionBus_ ? &*sessionBus_ : nullptr,
                 parts.messages),
      suspend_(session_), routineClock_(std::move(parts.routineClock)),
      routines_(session_, parts.folders.userSettingsFolder, parts.messages, routineClock_) {
    connect(&session_.player().sleepTimer(), &player::SleepTimer::ended, this, [this] {
        if (routines_.anyOn())
            session_.player().pause();
        else
            endRun_();
    });
    connect(&suspend_, &session::SystemSuspend::woke, &routines_, &session::RoutineRunner::recheck);
}

Program::~Program() = default;

bool Program::offerMediaControls() {
    auto* service = new desktop::MprisService(
        mediaControls_, QStringLiteral(CALMFIELD_APPLICATION_ID), &mediaControls_);
    connect(&mediaControls_, &session::MediaControls::mediaStateChanged, service,
            &desktop::MprisService::stateChanged);
    return sessionBus_ && service->registerOn(*sessionBus_);
}

void Program::reachSystemBus() {
    app::reachSystemBus(suspend_, [this](const QDBusConnection& bus) { suspend_.listenOn(bus); });
}

void Program::openMix(const QString& path) {
    if (const auto opened = session::openMix(session_, path); !opened.ok())
        messages_.showMessage(opened.reason());
}

void Program::startSleepTimer(std::chrono::milliseconds duration) {
    session_.player().sleepTimer().start(duration);
}

bool Program::answerLaterStarts(instance::SingleInstance& instance) {
    if (!instance.listen())
        return false;
    connect(&instance, &instance::SingleInstance::sleepRequested, this,
            [this](std::chrono::seconds duration) { startSleepTimer(duration); });
    if (bringForward_)
        connect(&instance, &instance::SingleInstance::showRequested, this, bringForward_);
    instance.setMixOpener([this](const instance::OpenRequest& request) {
        if (bringForward_)
            bringForward_(request.activationToken);
        auto opened = session::openMix(session_, QFile::decodeName(request.path));
        // A message box waits for the user: the later start has its answer first.
        if (!opened.ok())
            QMetaObject::invokeMethod(
                this, [this, failure = opened.reason()] { messages_.showMessage(failure); },
                Qt::QueuedConnection);
        return opened;
    });
    return true;
}

void Program::takeTerminationSignals() {
    terminationSignals_ = std::make_unique<ending::TerminationSignals>();
    connect(terminationSignals_.get(), &ending::TerminationSignals::received, this,
            [this] { endRun_(); });
}

} // namespace calmfield::app
