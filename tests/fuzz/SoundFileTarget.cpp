// A sound file in the program's folder, decoded with the check of its data chunk. The loader is
// given small limits, so that a short file that decodes to minutes is refused within the
// target's budget as it would be at the program's own limits.

#include "engine/ChunkList.h"
#include "engine/SoundBuffer.h"
#include "files/RegularFile.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace calmfield;
using namespace calmfield::fuzzing;

namespace {

constexpr engine::SoundFileLimits kLimits{.longestSeconds = 2, .largestBytes = 4 << 20};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder folder;
    const auto path = folder.write("sound.wav", data, size);
    engine::ChunkList chunks = engine::ChunkList::sound;
    {
        const auto file = files::RegularFile::open(path);
        require(file.isOpen(), "the scratch file opens");
        chunks = engine::checkChunkList(file.descriptor(), file.size());
    }

    const engine::SoundFileResult result = engine::loadSoundFile(path, kLimits);
    using Problem = engine::SoundFileFailure::Problem;
    if (!result.ok()) {
        require(result.reason().problem != Problem::none, "a refused file says why");
        require((result.reason().channels != 0) ==
                        (result.reason().problem == Problem::unplayableChannels) &&
                    (result.reason().sampleRate != 0) ==
                        (result.reason().problem == Problem::unplayableRate),
                "a refusal gives the channels or the rate only when they are why");
        return 0;
    }
    require(chunks == engine::ChunkList::sound,
            "a file whose chunks run past their end is never played");
    const engine::SoundBuffer& sound = *result.value();
    require(sound.sampleRate() >= 1000 && sound.sampleRate() <= 200000,
            "a sound plays at a rate the channels take");
    require(sound.frames() > 0 &&
                sound.frames() <= engine::longestSoundFrames(sound.sampleRate(), kLimits),
            "a sound holds frames, and no more than the limits allow");

    // The loop wraps around at both ends, as the interpolation reads it past the first and last
    // frames: after the last frame comes the first, before the first the last.
    using Kernel = engine::ShortKernel;
    const std::int16_t* first = sound.doubledAround(0) + 2 * Kernel::kFramesBefore;
    const std::int16_t* last =
        sound.doubledAround(2 * sound.frames() - 1) + 2 * Kernel::kFramesBefore;
    require(last[2] == first[0] && last[3] == first[1] && first[-2] == last[0] &&
                first[-1] == last[1],
            "the loop's last frame runs on into its first");
    return 0;
}
