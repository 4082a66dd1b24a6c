#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/HeadlessRun.h"
#include "app/InstanceClaim.h"
#include "app/RoutinesCommand.h"
#include "app/WindowRun.h"
#include "app/WindowSystemProbe.h"
#include "rendercommand/RenderCommand.h"
#include "session/Messages.h"

#include <QDateTime>

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

} // namespace

int main(int argc, char* argv[]) {
    // Both come before the application object, which needs a window system.
    const app::CommandLine commandLine = readCommandLine(argc, argv);
    // A render needs neither a window system nor the single-instance lock.
    if (commandLine.render)
        return rendercommand::runRender(*commandLine.render,
                                        rendercommand::renderFoldersOfThisProgram());
    if (commandLine.listRoutines)
        return app::listRoutines(rendercommand::renderFoldersOfThisProgram().userSettingsFolder,
                                 QDateTime::currentSecsSinceEpoch(), QTimeZone::systemTimeZone(),
                                 stdout, stderr);
    if (const auto status = answerCommandLine(commandLine))
        return *status;
    std::optional<instance::SingleInstance> instance;
    if (const auto status = app::claimSingleInstance(instance, commandLine)) {
        if (instance && instance->runningKind() == instance::SingleInstance::Kind::headless &&
            !commandLine.headless && !commandLine.sleep && commandLine.openFile.isEmpty())
            app::tellAlreadyPlayingWithoutAWindow(argc, argv);
        return *status;
    }
    instance::SingleInstance* answering = instance ? &*instance : nullptr;
    if (commandLine.headless)
        return app::runHeadless(argc, argv, commandLine, answering);
    if (!app::windowSystemAnswers()) {
        const auto text = session::messages::say(session::messages::kNoDesktopSession);
        std::fprintf(stderr, "calmfield: %s\n", text.toLocal8Bit().constData());
        return 1;
    }
    return app::runWithWindows(argc, argv, commandLine, answering);
}
