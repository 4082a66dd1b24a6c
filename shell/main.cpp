#include "platform/ProgramFolder.h"
#include "platform/PulseCaptureDevice.h"
#include "platform/PulseSoundOutput.h"
#include "platform/PulseSystemMixer.h"
#include "recorder/CommandInterpreter.h"
#include "shell/DialogFont.h"
#include "shell/Form1.h"
#include "shell/MessageBoxSink.h"
#include "shell/ProgramEnding.h"
#include "shell/ProgramWindows.h"
#include "shell/TerminationRequests.h"
#include "shell/TerminationSignals.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QSessionManager>
#include <QStandardPaths>
#include <QSystemTrayIcon>

int main(int argc, char* argv[]) {
    using namespace calmfield;
    QApplication application(argc, argv);
    // Names the user's own settings folder: ~/.config/calmfield.
    QApplication::setApplicationName(QStringLiteral("calmfield"));
    // The program ends when its last window closes, not when the last one on screen does: the
    // main window may be hidden in the tray while another window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setFont(shell::dialogFont(QApplication::font()));

    platform::PulseSoundOutput output;
    platform::PulseSystemMixer mixer;
    shell::MessageBoxSink messages;
    // Recorded takes are saved in the home folder, which stands in for the root of drive C.
    const std::filesystem::path home = QFile::encodeName(QDir::homePath()).toStdString();
    recorder::CommandInterpreter commands(
        [] { return std::make_unique<platform::PulseCaptureDevice>(); }, home);
    shell::ProgramWindows windows(
        &QDesktopServices::openUrl, [] { shell::endProgramOnceNoDialogIsOpen(); },
        recorder::RecorderServices{commands, messages, home});
    const QString userSettingsFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    auto* window =
        new shell::Form1({output, mixer, messages, windows, platform::programFolder(),
                          &QDesktopServices::openUrl, &QSystemTrayIcon::isSystemTrayAvailable,
                          nullptr, QFile::encodeName(userSettingsFolder).toStdString()});
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->startUp();

    // The session ending and the termination signals end the program as Exit does, so that the
    // changes of a run left going until logout or shutdown are saved. They are taken only from
    // here on: until start-up is over nothing of this run needs saving, and a signal ends the
    // program at once.
    shell::TerminationRequests termination(windows,
                                           [&messages] { messages.stopWaitingForTheUser(); });
    shell::TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &shell::TerminationSignals::received, &termination,
                     &shell::TerminationRequests::request);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &termination,
                     [&termination](QSessionManager&) { termination.request(); });
    return application.exec();
}
