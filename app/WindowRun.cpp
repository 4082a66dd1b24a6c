#include "app/WindowRun.h"

#include "app/Application.h"
#include "app/Buses.h"
#include "app/CommandLine.h"
#include "app/WindowSystemProbe.h"
#include "desktop/LoginStart.h"
#include "desktop/ProgramFolder.h"
#include "ending/ProgramEnding.h"
#include "instance/SingleInstance.h"
#include "recorder/CommandInterpreter.h"
#include "routines/NextEventText.h"
#include "routines/RoutinesFile.h"
#include "routineswindow/RoutinesWindow.h"
#include "session/Messages.h"
#include "session/SoundFileMessages.h"
#include "shell/MainWindow.h"
#include "sound/DesktopSoundOutput.h"
#include "sound/PulseCaptureDevice.h"
#include "sound/PulseVolumePort.h"
#include "widgets/DialogFont.h"
#include "widgets/MessageBoxSink.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QSessionManager>
#include <QSystemTrayIcon>

#include <cstdio>

namespace calmfield::app {
namespace {

namespace messages = session::messages;

// The application object, named for the user's settings folder and the menu entry.
void setUpApplication() {
    nameTheApplication();
    // Ties the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(CALMFIELD_APPLICATION_ID));
    // The program ends when its last window closes, not when the last one on screen does: the
    // main window may be hidden in the tray while another window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setFont(widgets::dialogFont(QApplication::font()));
}

// The next start or end of a routine as the tray's tooltip tells it, or nothing while none is to
// come.
QString nextRoutineLine(Program& program) {
    const session::RoutineRunner& runner = program.routines();
    if (!runner.nextEvent())
        return {};
    const session::RoutineClock& clock = program.routineClock();
    return routines::describeNextEvent(runner.nextEvent(), runner.routines(), clock.now(),
                                       clock.zone());
}

// On Wayland a desktop may ignore minimising, or leave no way back to a minimised window.
bool minimisedWindowsStayReachable() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

WindowRun::WindowRun(WindowRunParts parts)
    : messages_(parts.messages),
      windows_(parts.openUrl, std::move(parts.endProgram), std::move(parts.recorder)),
      termination_([this] { windows_.closeAll(); }, std::move(parts.stopWaitingForTheUser)),
      program_({
          .devices = parts.devices,
          .folders = parts.folders,
          .messages = parts.messages,
          .bringForward = [this](const QByteArray& token) { bringForward(token); },
          .actions = windows_.actions(),
          .endRun = [this] { termination_.request(); },
          .sessionBus = std::move(parts.sessionBus),
          .sleepClock = std::move(parts.sleepClock),
          .routineClock = std::move(parts.routineClock),
      }) {
    session::NoiseSession& session = program_.session();
    auto* window = new shell::MainWindow({
        .player = session.player(),
        .recentMixes = session.recentMixes(),
        .messages = parts.messages,
        .programFolder = parts.folders.programFolder,
        .openUrl = std::move(parts.openUrl),
        .trayAvailable = std::move(parts.trayAvailable),
        .fileDialog = parts.fileDialog,
        .minimisedWindowsStayReachable = parts.minimisedWindowsStayReachable,
        .routinesLine = [this] { return nextRoutineLine(program_); },
        .routineOn = [this] { return program_.routines().anyOn(); },
    });
    window->setAttribute(Qt::WA_DeleteOnClose);
    mainWindow_ = window;
    QObject::connect(window, &shell::MainWindow::closed, &session, &session::NoiseSession::end);
    windows_.adoptMainWindow(*window);
    QObject::connect(&program_.routines(), &session::RoutineRunner::changed, window,
                     &shell::MainWindow::showRoutines);
    windows_.makeRoutinesWindowWith(
        [this, fileDialog = parts.fileDialog,
         file = parts.folders.userSettingsFolder / routines::kRoutinesFileName] {
            return new routineswindow::RoutinesWindow({
                .file = QFile::decodeName(file.c_str()),
                .runner = program_.routines(),
                .clock = program_.routineClock(),
                .player = program_.session().player(),
                .messages = messages_,
                .fileDialog = fileDialog,
                .startAtLogin = mainWindow_->startAtLoginItem(),
                .startsAtLogin =
                    [] {
                        return desktop::startsAtLogin(
                            desktop::AutostartEntry::forThisProgram(CALMFIELD_APPLICATION_ID));
                    },
            });
        });
    // The menu's item shows the user's choice and takes it.
    QAction& keepAwakeItem = window->keepAwakeItem();
    keepAwakeItem.setChecked(program_.keepAwake().wanted());
    QObject::connect(&keepAwakeItem, &QAction::triggered, &program_.keepAwake(),
                     &session::KeepAwake::setWanted);
    window->showKeepAwakeRefused(program_.keepAwake().refused());
    QObject::connect(&program_.keepAwake(), &session::KeepAwake::refusalChanged, window,
                     &shell::MainWindow::showKeepAwakeRefused);
    // The desktop session ending ends the program as Exit does, so that the changes of a run left
    // going until logout or shutdown are saved.
    if (qGuiApp != nullptr)
        QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, &termination_,
                         [this](QSessionManager&) { termination_.request(); });
}

WindowRun::~WindowRun() {
    delete mainWindow_.data();
}

shell::MainWindow* WindowRun::mainWindow() const {
    return mainWindow_.data();
}

void WindowRun::startUp() {
    session::NoiseSession& session = program_.session();
    const bool volumePortOpen = session.openVolumePort();
    mainWindow_->showAtStart();
    for (const QString& text : session::soundStartMessages(volumePortOpen, session.startSound()))
        messages_.showMessage(text);
    mainWindow_->runStartInTrayTimer();
}

// A later start brings the program forward: the main window as the tray icon does, or once that
// has closed, the windows that keep the program running. The launcher's activation token it hands
// over lets the window take the focus on Wayland.
void WindowRun::bringForward(const QByteArray& activationToken) {
    QWidget* shown = windows_.showProgram();
    if (shown != nullptr && !activationToken.isEmpty())
        activation_.activate(*shown, activationToken);
}

int runWithWindows(int& argc, char* argv[], const CommandLine& commandLine,
                   instance::SingleInstance* instance) {
    QApplication application(argc, argv);
    setUpApplication();

    widgets::MessageBoxSink messageBoxes;
    // Recorded takes are saved in the home folder, which stands in for the root of drive C.
    const std::filesystem::path home = QFile::encodeName(QDir::homePath()).toStdString();
    recorder::CommandInterpreter commands(
        [] { return std::make_unique<sound::PulseCaptureDevice>(); }, home);
    sound::DesktopSoundOutput output;
    sound::PulseVolumePort volumePort;
    WindowRun run({
        .devices = {output, volumePort},
        .folders = foldersOfThisProgram(),
        .messages = messageBoxes,
        .openUrl = &QDesktopServices::openUrl,
        .trayAvailable = &QSystemTrayIcon::isSystemTrayAvailable,
        .minimisedWindowsStayReachable = minimisedWindowsStayReachable(),
        .recorder = recorder::RecorderServices{commands, messageBoxes, home},
        .endProgram = [] { ending::endProgramOnceNoDialogIsOpen(); },
        .stopWaitingForTheUser = [&messageBoxes] { messageBoxes.stopWaitingForTheUser(); },
        .sessionBus = runningSessionBus(),
    });
    Program& program = run.program();
    if (instance != nullptr && !program.answerLaterStarts(*instance))
        std::fprintf(stderr, "calmfield: %s\n",
                     messages::say(messages::kWindowNotReachable).toLocal8Bit().constData());
    run.startUp();
    if (!commandLine.openFile.isEmpty())
        program.openMix(commandLine.openFile);
    if (commandLine.sleep)
        program.startSleepTimer(*commandLine.sleep);
    program.startRoutines();
    program.offerMediaControls();
    program.reachSystemBus();
    // Taken only from here on: until start-up is over nothing of this run needs saving, and a
    // signal ends the program at once.
    program.takeTerminationSignals();
    return application.exec();
}

void tellAlreadyPlayingWithoutAWindow(int& argc, char* argv[]) {
    if (!windowSystemAnswers()) {
        std::fprintf(stderr, "calmfield: %s\n",
                     messages::say(messages::kPlayingWithoutAWindow).toLocal8Bit().constData());
        return;
    }
    QApplication application(argc, argv);
    setUpApplication();
    widgets::MessageBoxSink().showMessage(messages::say(messages::kPlayingWithoutAWindow));
}

} // namespace calmfield::app
