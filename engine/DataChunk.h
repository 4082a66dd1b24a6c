#pragma once

#include <cstdint>

namespace calmfield::engine {

// Whether the sound data chunk of a WAV or AIFF file says it is longer than what the file holds
// after it: the file was cut short. Reads the open file at `descriptor` without moving its
// position; gives false for other kinds of file and when no data chunk is found.
bool dataChunkRunsPastEnd(int descriptor, std::uint64_t fileSize);

} // namespace calmfield::engine
