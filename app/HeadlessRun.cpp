#include "app/HeadlessRun.h"

#include "app/Application.h"
#include "app/Buses.h"
#include "app/Program.h"
#include "app/StandardErrorMessages.h"
#include "persistence/Mix.h"
#include "session/Messages.h"
#include "session/SoundFileMessages.h"
#include "sound/DesktopSoundOutput.h"
#include "sound/PulseVolumePort.h"

#include <QCoreApplication>

namespace calmfield::app {

namespace messages = session::messages;

int runHeadless(int& argc, char* argv[], const CommandLine& commandLine,
                instance::SingleInstance* instance) {
    QCoreApplication application(argc, argv);
    nameTheApplication();
    StandardErrorMessages toStandardError;

    // A mix that cannot be played ends the run before it starts.
    if (!commandLine.mixFile.isEmpty()) {
        const auto read = persistence::readMix(commandLine.mixFile);
        if (!read.ok()) {
            toStandardError.showMessage(
                messages::say(messages::kMixNotLoaded).arg(commandLine.mixFile, read.reason()));
            return 1;
        }
    }

    sound::DesktopSoundOutput output;
    sound::PulseVolumePort volumePort;
    const auto endRun = [] { QCoreApplication::exit(0); };
    Program program({
        .devices = {output, volumePort},
        .folders = foldersOfThisProgram(),
        .messages = toStandardError,
        .actions = {.raise = {}, .quit = endRun},
        .endRun = endRun,
        .sessionBus = runningSessionBus(),
    });
    // The run's sound ends with the event loop, writing the startup settings file.
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &program.session(),
                     &session::NoiseSession::end);

    // Each failure is told and the start goes on, so that the noise plays as soon as a sound
    // server answers.
    session::NoiseSession& session = program.session();
    const bool volumePortOpen = session.openVolumePort();
    for (const QString& text : session::soundStartMessages(volumePortOpen, session.startSound()))
        toStandardError.showMessage(text);
    // Read again through the recent mixes, which keep it.
    if (!commandLine.mixFile.isEmpty())
        program.openMix(commandLine.mixFile);
    // Without a window nothing would show why all is silent.
    if (session.player().tickedColours().empty())
        toStandardError.showMessage(messages::say(messages::kNothingTicked));
    if (commandLine.sleep)
        program.startSleepTimer(*commandLine.sleep);
    program.startRoutines();
    if (instance != nullptr && !program.answerLaterStarts(*instance))
        toStandardError.showMessage(messages::say(messages::kHeadlessNotReachable));
    if (!program.offerMediaControls())
        toStandardError.showMessage(messages::say(messages::kNoMediaControls));
    program.reachSystemBus();
    program.takeTerminationSignals();
    return application.exec();
}

} // namespace calmfield::app
