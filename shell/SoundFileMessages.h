#pragma once

#include "engine/ChannelBank.h"
#include "engine/SoundBuffer.h"

#include <string>
#include <vector>

namespace calmfield::shell {

// Why a sound file was refused, as a clause without a full stop, such as "it is damaged".
std::string reasonNotPlayed(const engine::SoundFileFailure& failure);

// What the user is told about the sound files that could not be used: a paragraph for each,
// naming the file, the reason and the colour that stays silent; empty when there are none.
std::string unusableSoundFilesMessage(const std::vector<engine::UnusableSoundFile>& unusable);

} // namespace calmfield::shell
