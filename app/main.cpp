#include "app/CommandLine.h"
#include "app/HeadlessRun.h"
#include "app/KeepAwake.h"
#include "app/MediaControls.h"
#include "app/MixOpening.h"
#include "app/NoiseSession.h"
#include "app/ProgramEnding.h"
#include "app/ProgramStart.h"
#include "app/ProgramWindows.h"
#include "app/RenderCommand.h"
#include "app/SingleInstance.h"
#include "app/SleepAndWake.h"
#include "app/TerminationRequests.h"
#include "app/TerminationSignals.h"
#include "app/TokenActivation.h"
#include "platform/ProgramFolder.h"
#include "platform/PulseCaptureDevice.h"
#include "recorder/CommandInterpreter.h"
#include "shell/MainWindow.h"
#include "widgets/DialogFont.h"
#include "widgets/MessageBoxSink.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QSessionManager>
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

// On Wayland a desktop may ignore minimising, or leave no way back to a minimised window.
bool minimisedWindowsStayReachable() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

// The application object, named for the user's settings folder and the menu entry.
void setUpApplication() {
    app::nameTheApplication();
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
// without bringing anything forward; one with a mix loads it and brings the program forward.
void answerLaterStarts(app::SingleInstance& instance, shell::MainWindow* window,
                       app::ProgramWindows& windows, app::TokenActivation& activation,
                       app::NoiseSession& session, widgets::MessageSink& messages) {
    if (!instance.listen())
        std::fputs("calmfield: Calmfield cannot listen in its runtime folder, so starting it "
                   "again will not bring this window forward.\n",
                   stderr);
    const auto bringForward = [&windows, &activation](const QByteArray& token) {
        QWidget* shown = windows.showProgram();
        if (shown != nullptr && !token.isEmpty())
            activation.activate(*shown, token);
    };
    QObject::connect(&instance, &app::SingleInstance::showRequested, &windows, bringForward);
    app::answerOpenRequests(instance, session, messages, bringForward);
    QObject::connect(
        &instance, &app::SingleInstance::sleepRequested, window,
        [window](std::chrono::seconds duration) { window->startSleepTimer(duration); });
}

// A plain start finding a copy playing without a window tells the user so, in a message box where
// it can show one.
void tellAlreadyPlayingWithoutAWindow(int& argc, char* argv[]) {
    const QString text = QStringLiteral(
        "Calmfield is already playing without a window. To stop it, use its media controls' Quit, "
        "or run \"systemctl --user stop calmfield\".");
    if (!app::windowSystemFound()) {
        std::fprintf(stderr, "calmfield: %s\n", text.toLocal8Bit().constData());
        return;
    }
    QApplication application(argc, argv);
    setUpApplication();
    widgets::MessageBoxSink().showMessage(text);
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
    if (const auto status = app::claimSingleInstance(instance, commandLine)) {
        if (instance && instance->runningKind() == app::SingleInstance::Kind::headless &&
            !commandLine.headless && !commandLine.sleep && commandLine.openFile.isEmpty())
            tellAlreadyPlayingWithoutAWindow(argc, argv);
        return *status;
    }
    if (commandLine.headless)
        return app::runHeadless(argc, argv, commandLine, instance ? &*instance : nullptr);
    if (!app::windowSystemFound()) {
        std::fputs("calmfield: No desktop session was found, so Calmfield has no window to show. "
                   "\"calmfield --headless\" plays without one.\n",
                   stderr);
        return 1;
    }

    QApplication application(argc, argv);
    setUpApplication();

    widgets::MessageBoxSink messages;
    // Recorded takes are saved in the home folder, which stands in for the root of drive C.
    const std::filesystem::path home = QFile::encodeName(QDir::homePath()).toStdString();
    recorder::CommandInterpreter commands(
        [] { return std::make_unique<platform::PulseCaptureDevice>(); }, home);
    app::ProgramWindows windows(
        &QDesktopServices::openUrl, [] { app::endProgramOnceNoDialogIsOpen(); },
        recorder::RecorderServices{commands, messages, home});
    app::NoiseSession session(app::foldersOfThisProgram(), messages);

    auto* window = new shell::MainWindow({
        .player = session.player(),
        .recentMixes = session.recentMixes(),
        .messages = messages,
        .programFolder = platform::programFolder(),
        .openUrl = &QDesktopServices::openUrl,
        .trayAvailable = &QSystemTrayIcon::isSystemTrayAvailable,
        .fileDialog = nullptr,
        .minimisedWindowsStayReachable = minimisedWindowsStayReachable(),
    });
    window->setAttribute(Qt::WA_DeleteOnClose);
    session.endWhenClosed(*window);
    windows.adoptMainWindow(*window);
    app::TokenActivation activation;
    if (instance)
        answerLaterStarts(*instance, window, windows, activation, session, messages);
    session.startUp(*window);
    if (!commandLine.openFile.isEmpty())
        if (const auto opened = app::openMix(session, commandLine.openFile); !opened.ok())
            messages.showMessage(opened.reason());
    if (commandLine.sleep)
        window->startSleepTimer(*commandLine.sleep);

    app::MediaControls mediaControls(session, windows.actions());
    app::offerMediaControls(mediaControls);
    const auto sessionBus = app::runningSessionBus();
    app::KeepAwake keepAwake(session, app::foldersOfThisProgram().userSettingsFolder,
                             sessionBus ? &*sessionBus : nullptr, messages);
    keepAwake.showIn(window->keepAwakeItem());
    app::SleepAndWake sleepAndWake(session);
    app::reachSystemBus(sleepAndWake);

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
    const QPointer<shell::MainWindow> mainWindow(window);
    const int status = application.exec();
    // A window is a view of the session, and goes before it.
    delete mainWindow.data();
    return status;
}
