#include "app/ProgramStart.h"

#include "app/CommandLine.h"
#include "app/MediaControls.h"
#include "app/RuntimeFolder.h"
#include "app/SleepAndWake.h"
#include "platform/MprisService.h"
#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <cstdio>

namespace calmfield::app {
namespace {

void tell(const char* text) {
    std::fprintf(stderr, "calmfield: %s\n", text);
}

// A session bus that is already there: asking for one where none runs could make the D-Bus
// library start one of its own, and hold up the start.
bool sessionBusRuns() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtimeFolder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtimeFolder.isEmpty() && QFile::exists(runtimeFolder + QStringLiteral("/bus"));
}

bool systemBusRuns() {
    return !qEnvironmentVariableIsEmpty("DBUS_SYSTEM_BUS_ADDRESS") ||
           QFile::exists(QStringLiteral("/run/dbus/system_bus_socket"));
}

// The file a later start names, from either --mix or on its own, by its absolute path.
QString mixToOpen(const CommandLine& commandLine) {
    const QString named = commandLine.headless ? commandLine.mixFile : commandLine.openFile;
    return named.isEmpty() ? named : QFileInfo(named).absoluteFilePath();
}

std::vector<InstanceRequest> requestsOf(const CommandLine& commandLine) {
    std::vector<InstanceRequest> requests;
    if (const QString mix = mixToOpen(commandLine); !mix.isEmpty())
        requests.push_back(OpenRequest{QFile::encodeName(mix), launchersActivationToken()});
    if (commandLine.sleep)
        requests.push_back(SleepRequest{*commandLine.sleep});
    // A later copy without a window only asks which kind runs.
    if (requests.empty() && !commandLine.headless)
        requests.push_back(ShowRequest{launchersActivationToken()});
    return requests;
}

// The exit status of a later start that handed a mix over, telling the user why it was not loaded.
int statusOfHandedOverMix(const SingleInstance& instance) {
    const auto answer = instance.mixAnswer();
    if (!answer) {
        tell("Calmfield is already running but did not say whether it loaded the mix.");
        return 1;
    }
    if (answer->ok())
        return 0;
    tell(answer->reason().toLocal8Bit().constData());
    return 1;
}

} // namespace

void nameTheApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("calmfield"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CALMFIELD_VERSION));
}

std::optional<int> claimSingleInstance(std::optional<SingleInstance>& instance,
                                       const CommandLine& commandLine) {
    const auto folder = userRuntimeFolder();
    if (!folder) {
        tell("No private runtime folder can be made, so starting Calmfield again would open a "
             "second copy.");
        return std::nullopt;
    }
    instance.emplace(*folder, commandLine.headless ? SingleInstance::Kind::headless
                                                   : SingleInstance::Kind::window);
    const std::vector<InstanceRequest> requests = requestsOf(commandLine);
    switch (instance->claim(requests)) {
    case SingleInstance::Claim::First:
        return std::nullopt;
    case SingleInstance::Claim::HandedOver:
        if (!requests.empty() && std::holds_alternative<OpenRequest>(requests.front()))
            return statusOfHandedOverMix(*instance);
        if (commandLine.headless && !commandLine.sleep)
            tell("Calmfield is already running, so this copy ends.");
        return 0;
    case SingleInstance::Claim::NotAnswering:
        tell("Calmfield is already running but does not answer.");
        return 1;
    case SingleInstance::Claim::Unavailable:
        break;
    }
    instance.reset();
    tell("No lock file can be made in the runtime folder, so starting Calmfield again would open "
         "a second copy.");
    return std::nullopt;
}

bool windowSystemFound() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

SessionFolders foldersOfThisProgram() {
    const QString userSettingsFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return {platform::programFolder(), QFile::encodeName(userSettingsFolder).toStdString()};
}

bool offerMediaControls(MediaControls& controls) {
    auto* service =
        new platform::MprisService(controls, QStringLiteral(CALMFIELD_APPLICATION_ID), &controls);
    QObject::connect(&controls, &MediaControls::mediaStateChanged, service,
                     &platform::MprisService::stateChanged);
    return sessionBusRuns() && service->registerOn(QDBusConnection::sessionBus());
}

} // namespace calmfield::app

namespace calmfield::app {

std::optional<QDBusConnection> runningSessionBus() {
    if (!sessionBusRuns())
        return std::nullopt;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::nullopt;
    return bus;
}

// Connecting waits for the bus's answer; the thread does the waiting, and once it has the
// connection, taking it again here waits for nothing.
void reachSystemBus(SleepAndWake& sleepAndWake) {
    if (!systemBusRuns())
        return;
    QThread* connecting = QThread::create([] { QDBusConnection::systemBus(); });
    QObject::connect(connecting, &QThread::finished, &sleepAndWake, [connecting, &sleepAndWake] {
        connecting->deleteLater();
        const QDBusConnection bus = QDBusConnection::systemBus();
        if (bus.isConnected())
            sleepAndWake.listenOn(bus);
    });
    connecting->start();
}

} // namespace calmfield::app
