#include "app/HeadlessRun.h"

#include "app/KeepAwake.h"
#include "app/MediaControls.h"
#include "app/MixOpening.h"
#include "app/NoiseSession.h"
#include "app/ProgramStart.h"
#include "app/SleepAndWake.h"
#include "app/StandardErrorMessages.h"
#include "app/TerminationSignals.h"
#include "persistence/Mix.h"
#include "shell/Messages.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>

namespace calmfield::app {

int runHeadless(int& argc, char* argv[], const CommandLine& commandLine, SingleInstance* instance) {
    QCoreApplication application(argc, argv);
    nameTheApplication();
    StandardErrorMessages messages;

    // A mix that cannot be played ends the run before it starts.
    if (!commandLine.mixFile.isEmpty()) {
        const auto read = persistence::readMix(commandLine.mixFile);
        if (!read.ok()) {
            messages.showMessage(QString::fromLatin1(shell::kMixNotLoadedMessage)
                                     .arg(commandLine.mixFile, read.reason()));
            return 1;
        }
    }

    NoiseSession session(foldersOfThisProgram(), messages);
    const auto endRun = [&session] {
        session.end();
        QCoreApplication::exit(0);
    };
    session.startUpWithoutWindow();
    player::MixPlayer& player = session.player();
    // Read again through the recent mixes, which keep it.
    if (!commandLine.mixFile.isEmpty())
        if (const auto opened = openMix(session, commandLine.mixFile); !opened.ok())
            messages.showMessage(opened.reason());
    const auto sleepFor = [&player](std::chrono::seconds duration) {
        player.sleepTimer().start(duration);
    };
    if (commandLine.sleep)
        sleepFor(*commandLine.sleep);
    QObject::connect(&player.sleepTimer(), &player::SleepTimer::ended, &session, endRun);
    if (instance != nullptr) {
        if (!instance->listen())
            messages.showMessage(QStringLiteral("Calmfield cannot listen in its runtime folder, "
                                                "so starting it again will not reach this copy."));
        QObject::connect(instance, &SingleInstance::sleepRequested, &session, sleepFor);
        answerOpenRequests(*instance, session, messages);
    }

    MediaControls mediaControls(session, {.raise = {}, .quit = endRun});
    if (!offerMediaControls(mediaControls))
        messages.showMessage(QStringLiteral("Calmfield cannot offer its media controls on the "
                                            "session bus, so it plays without them."));
    // The choice made in a window holds here too.
    const auto sessionBus = runningSessionBus();
    KeepAwake keepAwake(session, foldersOfThisProgram().userSettingsFolder,
                        sessionBus ? &*sessionBus : nullptr, messages);
    SleepAndWake sleepAndWake(session);
    reachSystemBus(sleepAndWake);

    TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &TerminationSignals::received, &session, endRun);
    return application.exec();
}

} // namespace calmfield::app
