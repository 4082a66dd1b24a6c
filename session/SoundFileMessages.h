#pragma once

#include "engine/ChannelBank.h"
#include "engine/SoundBuffer.h"
#include "session/NoiseSession.h"

#include <QStringList>

#include <string>
#include <vector>

namespace calmfield::session {

// Why a sound file was refused, as a clause without a full stop, such as "it is damaged".
std::string reasonNotPlayed(const engine::SoundFileFailure& failure);

// What the user is told about the sound files that could not be used: a paragraph for each,
// naming the file, the reason and the colour that stays silent; empty when there are none.
std::string unusableSoundFilesMessage(const std::vector<engine::UnusableSoundFile>& unusable);

// What the user is told of the sound's start: that the speakers' volume could not be opened, or
// else why the sound device did not open, then which sound files cannot be used; empty when all
// went well. Without the volume the server is not running, and the device is not told of too.
QStringList soundStartMessages(bool volumePortOpen, const SoundStart& start);

} // namespace calmfield::session
