#include "session/SoundFileMessages.h"

#include "engine/NoiseColours.h"
#include "persistence/ReasonNotOpened.h"
#include "session/Messages.h"

namespace calmfield::session {

std::string reasonNotPlayed(const engine::SoundFileFailure& failure) {
    using Problem = engine::SoundFileFailure::Problem;
    switch (failure.problem) {
    case Problem::none:
        return {};
    case Problem::notOpened:
        return persistence::reasonNotOpened(failure.opening);
    case Problem::notASoundFile:
        return "it is not a sound file";
    case Problem::unplayableEncoding:
        return "its samples are in an encoding that cannot be played";
    case Problem::unreadable:
        return "it cannot be read";
    case Problem::damaged:
        return "it is damaged";
    case Problem::cutShort:
        return "it is damaged and shorter than its header says";
    case Problem::unplayableChannels:
        return "it has " + std::to_string(failure.channels) +
               " channels; only mono and stereo sounds can be played";
    case Problem::unplayableRate:
        return "its sample rate of " + std::to_string(failure.sampleRate) +
               " Hz is outside what can be played";
    case Problem::silent:
        return "it holds no sound";
    case Problem::tooLong:
        return "it is too long; a sound may last at most " +
               std::to_string(engine::kLongestSoundSeconds / 60) + " minutes and take at most " +
               std::to_string(engine::kLargestSoundBytes >> 20) + " MB of memory";
    case Problem::notEnoughMemory:
        return "there is not enough memory to hold it";
    }
    return "it cannot be read";
}

std::string unusableSoundFilesMessage(const std::vector<engine::UnusableSoundFile>& unusable) {
    std::string message;
    for (const engine::UnusableSoundFile& file : unusable) {
        if (!message.empty())
            message += "\n\n";
        message += "The sound file \"" + file.file.string() +
                   "\" cannot be played: " + reasonNotPlayed(file.failure) + ". The " +
                   std::string(engine::kNoiseColours[static_cast<std::size_t>(file.colour)].name) +
                   " noise stays silent; the other colours work as usual.";
    }
    return message;
}

QStringList soundStartMessages(bool volumePortOpen, const SoundStart& start) {
    QStringList told;
    if (!volumePortOpen)
        told.append(messages::say(messages::kVolumePortFailure) + QLatin1Char(' ') +
                    messages::say(messages::kSoundStartsLater));
    else if (!start.device.ok()) {
        const std::string& reason = start.device.reason();
        told.append(messages::say(messages::kDeviceFailure)
                        .arg(reason.empty() ? messages::say(messages::kNoServerAnswer)
                                            : QString::fromStdString(reason)));
    }
    if (const std::string unusable = unusableSoundFilesMessage(start.unusableFiles);
        !unusable.empty())
        told.append(QString::fromStdString(unusable));
    return told;
}

} // namespace calmfield::session
