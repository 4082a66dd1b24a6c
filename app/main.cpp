#include "app/CommandLine.h"
#include "app/MediaControls.h"
#include "app/ProgramEnding.h"
#include "app/ProgramWindows.h"
#include "app/RenderCommand.h"
#include "app/RuntimeFolder.h"
#include "app/SingleInstance.h"
#include "app/TerminationRequests.h"
#include "app/TerminationSignals.h"
#include "app/TokenActivation.h"
#include "platform/DesktopSoundOutput.h"
#include "platform/MprisService.h"
#include "platform/ProgramFolder.h"
#include "platform/PulseCaptureDevice.h"
#include "platform/PulseVolumePort.h"
#include "recorder/CommandInterpreter.h"
#include "shell/MainWindow.h"
#include "widgets/DialogFont.h"
#include "widgets/MessageBoxSink.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QSessionManager>
#include <QStandardPaths>
#include <QSystemTrayIcon>

#include <cstdio>
#include <optional>

namespace {

using namespace calmfield;

app::CommandLine readCommandLine(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return app::readCommandLine(arguments);
}

// Answers --help and --version, and refuses what it does not understand; empty when the program
// goes on to run.
std::optional<int> answerCommandLine(const app::CommandLine& commandLine) {
    if (commandLine.run)
        return std::nullopt;
    std::fputs(commandLine.output.toLocal8Bit().constData(), stdout);
    std::fputs(commandLine.errors.toLocal8Bit().constData(), stderr);
    return commandLine.exitStatus;
}

// Claims the program's place as the one running copy for this user. The exit status when this
// start ends here, having handed its sleep timer, or the wish to see the program, to the copy
// already running.
std::optional<int> claimSingleInstance(std::optional<app::SingleInstance>& instance,
                                       std::optional<std::chrono::seconds> sleep) {
    const auto folder = app::userRuntimeFolder();
    if (!folder) {
        std::fputs("calmfield: No private runtime folder can be made, so starting Calmfield "
                   "again would open a second copy.\n",
                   stderr);
        return std::nullopt;
    }
    instance.emplace(*folder);
    const app::InstanceRequest request = sleep ? app::InstanceRequest{app::SleepRequest{*sleep}}
                                               : app::ShowRequest{app::launchersActivationToken()};
    switch (instance->claim(request)) {
    case app::SingleInstance::Claim::First:
        return std::nullopt;
    case app::SingleInstance::Claim::HandedOver:
        return 0;
    case app::SingleInstance::Claim::NotAnswering:
        std::fputs("calmfield: Calmfield is already running but does not answer.\n", stderr);
        return 1;
    case app::SingleInstance::Claim::Unavailable:
        break;
    }
    instance.reset();
    std::fputs("calmfield: No lock file can be made in the runtime folder, so starting "
               "Calmfield again would open a second copy.\n",
               stderr);
    return std::nullopt;
}

// A session bus that is already there: asking for one where none runs could make the D-Bus
// library start one of its own, and hold up the start.
bool sessionBusRuns() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtimeFolder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtimeFolder.isEmpty() && QFile::exists(runtimeFolder + QStringLiteral("/bus"));
}

// On Wayland a desktop may ignore minimising, or leave no way back to a minimised window.
bool minimisedWindowsStayReachable() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

// The application object, named for the user's settings folder and the menu entry.
void setUpApplication() {
    // Names the user's own settings folder: ~/.config/calmfield.
    QApplication::setApplicationName(QStringLiteral("calmfield"));
    QApplication::setApplicationVersion(QStringLiteral(CALMFIELD_VERSION));
    // Ties the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(CALMFIELD_APPLICATION_ID));
    // The program ends when its last window closes, not when the last one on screen does: the
    // main window may be hidden in the tray while another window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setFont(widgets::dialogFont(QApplication::font()));
}

// A later start brings the program forward: the main window as the tray icon does, or once that
// has closed, the windows that keep the program running. The launcher's activation token it hands
// over lets the window take the focus on Wayland. One with --sleep sets the sleep timer instead,
// without bringing anything forward.
void answerLaterStarts(app::SingleInstance& instance, shell::MainWindow* window,
                       app::ProgramWindows& windows, app::TokenActivation& activation) {
    if (!instance.listen())
        std::fputs("calmfield: Calmfield cannot listen in its runtime folder, so starting it "
                   "again will not bring this window forward.\n",
                   stderr);
    QObject::connect(&instance, &app::SingleInstance::showRequested, &windows,
                     [mainWindow = QPointer<shell::MainWindow>(window), &windows,
                      &activation](const QByteArray& token) {
                         QWidget* shown = mainWindow.data();
                         if (mainWindow)
                             mainWindow->restoreWindow();
                         else
                             shown = windows.bringOpenWindowsForward();
                         if (shown != nullptr && !token.isEmpty())
                             activation.activate(*shown, token);
                     });
    QObject::connect(
        &instance, &app::SingleInstance::sleepRequested, window,
        [window](std::chrono::seconds duration) { window->startSleepTimer(duration); });
}

int main(int argc, char* argv[]) {
    // Both come before the application object, which needs a window system.
    const app::CommandLine commandLine = readCommandLine(argc, argv);
    // A render needs neither a window system nor the single-instance lock.
    if (commandLine.render)
        return app::runRender(*commandLine.render, app::renderFoldersOfThisProgram());
    if (const auto status = answerCommandLine(commandLine))
        return *status;
    std::optional<app::SingleInstance> instance;
    if (const auto status = claimSingleInstance(instance, commandLine.sleep))
        return *status;

    QApplication application(argc, argv);
    setUpApplication();

    platform::DesktopSoundOutput output;
    platform::PulseVolumePort volume;
    widgets::MessageBoxSink messages;
    // Recorded takes are saved in the home folder, which stands in for the root of drive C.
    const std::filesystem::path home = QFile::encodeName(QDir::homePath()).toStdString();
    recorder::CommandInterpreter commands(
        [] { return std::make_unique<platform::PulseCaptureDevice>(); }, home);
    app::ProgramWindows windows(
        &QDesktopServices::openUrl, [] { app::endProgramOnceNoDialogIsOpen(); },
        recorder::RecorderServices{commands, messages, home});
    const QString userSettingsFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    auto* window = new shell::MainWindow({output,
                                          volume,
                                          messages,
                                          platform::programFolder(),
                                          &QDesktopServices::openUrl,
                                          &QSystemTrayIcon::isSystemTrayAvailable,
                                          nullptr,
                                          QFile::encodeName(userSettingsFolder).toStdString(),
                                          {},
                                          minimisedWindowsStayReachable()});
    window->setAttribute(Qt::WA_DeleteOnClose);
    windows.adoptMainWindow(*window);
    app::TokenActivation activation;
    if (instance)
        answerLaterStarts(*instance, window, windows, activation);
    window->startUp();
    if (commandLine.sleep)
        window->startSleepTimer(*commandLine.sleep);

    // The desktop's media controls, the keyboard's Play/Pause key and playerctl pause the noise
    // through the session bus. Without a bus, or with the name taken, the program runs without.
    app::MediaControls mediaControls(window->player(), *window, windows);
    platform::MprisService mediaService(mediaControls, QStringLiteral(CALMFIELD_APPLICATION_ID));
    QObject::connect(&mediaControls, &app::MediaControls::mediaStateChanged, &mediaService,
                     &platform::MprisService::stateChanged);
    if (sessionBusRuns())
        mediaService.registerOn(QDBusConnection::sessionBus());

    // The session ending and the termination signals end the program as Exit does, so that the
    // changes of a run left going until logout or shutdown are saved. They are taken only from
    // here on: until start-up is over nothing of this run needs saving, and a signal ends the
    // program at once.
    app::TerminationRequests termination(windows,
                                         [&messages] { messages.stopWaitingForTheUser(); });
    app::TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &app::TerminationSignals::received, &termination,
                     &app::TerminationRequests::request);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &termination,
                     [&termination](QSessionManager&) { termination.request(); });
    // The sleep timer's end closes everything as a termination request does, asleep as the user is.
    QObject::connect(window, &shell::MainWindow::sleepTimerEnded, &termination,
                     &app::TerminationRequests::request);
    return application.exec();
}
