#pragma once

#include <cstdint>

namespace calmfield::engine {

// What the chunk list of a WAV (RIFF, RIFX, RF64) or AIFF file says about the file.
enum class ChunkList {
    sound,    // not such a file, or its chunks all lie within it
    cutShort, // the sound data chunk says it is longer than what the file holds after it
    damaged,  // another chunk, or an entry of a LIST chunk, runs past the end of what holds it
};

// Walks the chunks of the open file at `descriptor` without moving its position, reading each
// chunk's header once, so that it takes time in proportion to the file's size. A chunk whose size
// runs past its container would otherwise send a decoder looking far outside the file, or back
// over what it has read.
ChunkList checkChunkList(int descriptor, std::uint64_t fileSize);

} // namespace calmfield::engine
