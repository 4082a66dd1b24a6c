#include "app/InstanceClaim.h"

#include "app/CommandLine.h"
#include "instance/RuntimeFolder.h"
#include "session/Messages.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace calmfield::app {
namespace {

using instance::SingleInstance;
namespace messages = session::messages;

void tell(const QString& text) {
    std::fprintf(stderr, "calmfield: %s\n", text.toLocal8Bit().constData());
}

// The file a later start names, from either --mix or on its own, by its absolute path.
QString mixToOpen(const CommandLine& commandLine) {
    const QString named = commandLine.headless ? commandLine.mixFile : commandLine.openFile;
    return named.isEmpty() ? named : QFileInfo(named).absoluteFilePath();
}

std::vector<instance::InstanceRequest> requestsOf(const CommandLine& commandLine) {
    std::vector<instance::InstanceRequest> requests;
    if (const QString mix = mixToOpen(commandLine); !mix.isEmpty())
        requests.push_back(
            instance::OpenRequest{QFile::encodeName(mix), instance::launchersActivationToken()});
    if (commandLine.sleep)
        requests.push_back(instance::SleepRequest{*commandLine.sleep});
    // A later copy without a window only asks which kind runs.
    if (requests.empty() && !commandLine.headless)
        requests.push_back(instance::ShowRequest{instance::launchersActivationToken()});
    return requests;
}

// The exit status of a later start that handed a mix over, telling the user why it was not loaded.
int statusOfHandedOverMix(const SingleInstance& instance) {
    const auto answer = instance.mixAnswer();
    if (!answer) {
        tell(messages::say(messages::kMixNotAnswered));
        return 1;
    }
    if (answer->ok())
        return 0;
    tell(answer->reason());
    return 1;
}

} // namespace

std::optional<int> claimSingleInstance(std::optional<SingleInstance>& instance,
                                       const CommandLine& commandLine) {
    const auto folder = instance::userRuntimeFolder();
    if (!folder) {
        tell(messages::say(messages::kNoRuntimeFolder));
        return std::nullopt;
    }
    instance.emplace(*folder, commandLine.headless ? SingleInstance::Kind::headless
                                                   : SingleInstance::Kind::window);
    const std::vector<instance::InstanceRequest> requests = requestsOf(commandLine);
    switch (instance->claim(requests)) {
    case SingleInstance::Claim::First:
        return std::nullopt;
    case SingleInstance::Claim::HandedOver:
        if (!requests.empty() && std::holds_alternative<instance::OpenRequest>(requests.front()))
            return statusOfHandedOverMix(*instance);
        if (commandLine.headless && !commandLine.sleep)
            tell(messages::say(messages::kAlreadyRunning));
        return 0;
    case SingleInstance::Claim::NotAnswering:
        tell(messages::say(messages::kNotAnswering));
        return 1;
    case SingleInstance::Claim::Unavailable:
        break;
    }
    instance.reset();
    tell(messages::say(messages::kNoLockFile));
    return std::nullopt;
}

} // namespace calmfield::app
