#include "engine/SoundBuffer.h"

#include "engine/BandLimitedInterpolation.h"
#include "engine/BudgetedSoundFileIo.h"
#include "engine/ChunkList.h"
#include "files/RegularFile.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <new>

namespace calmfield::engine {
namespace {

constexpr std::uint32_t kLowestRate = 1000;
constexpr std::uint32_t kHighestRate = 200000;

// Frames decoded at a time; the file's header is not trusted to say how many there are.
constexpr sf_count_t kBlockFrames = 64 * 1024;

// Room taken by a frame in memory, and the frames added around the loop for interpolation.
constexpr std::size_t kFrameBytes = 2 * sizeof(std::int16_t);
constexpr std::size_t kPaddingFrames = LongKernel::kFramesBefore + LongKernel::kFramesAfter;
// Frames doubled at a time when a sound is loaded.
constexpr std::size_t kDoublingBlock = 4096;

bool isPcmOrFloat(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
        return true;
    default:
        return false;
    }
}

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

using Problem = SoundFileFailure::Problem;

files::Failure<SoundFileFailure> refused(Problem problem) {
    return files::failure(SoundFileFailure{problem});
}

Problem whyNotDecoded(int error) {
    switch (error) {
    case SF_ERR_UNRECOGNISED_FORMAT:
        return Problem::notASoundFile;
    case SF_ERR_UNSUPPORTED_ENCODING:
        return Problem::unplayableEncoding;
    case SF_ERR_SYSTEM:
        return Problem::unreadable;
    default:
        return Problem::damaged;
    }
}

// Makes room for `frames` more frames in `stereo`, and for the frames added around the loop,
// growing by half at a time but never past the most that a sound may hold.
void makeRoom(std::vector<std::int16_t>& stereo, std::size_t frames, std::size_t mostFrames) {
    const std::size_t needed = stereo.size() + 2 * (frames + kPaddingFrames);
    if (needed <= stereo.capacity())
        return;
    stereo.reserve(std::min(std::max(needed, stereo.capacity() + stereo.capacity() / 2),
                            2 * (mostFrames + kPaddingFrames)));
}

// Why a sound of this format cannot be played, or no failure.
SoundFileFailure unplayable(const SF_INFO& info) {
    if (!isPcmOrFloat(info.format))
        return {.problem = Problem::unplayableEncoding};
    if (info.channels < 1 || info.channels > 2)
        return {.problem = Problem::unplayableChannels, .channels = info.channels};
    if (info.samplerate < static_cast<int>(kLowestRate) ||
        info.samplerate > static_cast<int>(kHighestRate))
        return {.problem = Problem::unplayableRate, .sampleRate = info.samplerate};
    if (info.frames <= 0)
        return {.problem = Problem::silent};
    return {};
}

SoundFileResult decode(const std::filesystem::path& path, const SoundFileLimits& limits) {
    files::RegularFile file = files::RegularFile::open(path);
    if (!file.isOpen())
        return files::failure(
            SoundFileFailure{.problem = Problem::notOpened, .opening = file.failure()});
    const std::uint64_t fileSize = file.size();
    const ChunkList chunks = checkChunkList(file.descriptor(), fileSize);
    if (chunks == ChunkList::damaged)
        return refused(Problem::damaged);

    BudgetedSoundFileIo io(std::move(file));
    SF_INFO info{};
    std::unique_ptr<SNDFILE, SndfileCloser> sound(io.open(info));
    if (io.exhausted())
        return refused(Problem::damaged);
    if (!sound)
        return refused(whyNotDecoded(sf_error(nullptr)));
    if (chunks == ChunkList::cutShort)
        return refused(Problem::cutShort);
    if (const SoundFileFailure failure = unplayable(info))
        return files::failure(failure);

    // Floating-point files are scaled to the 16-bit range rather than wrapped around.
    sf_command(sound.get(), SFC_SET_SCALE_FLOAT_INT_READ, nullptr, SF_TRUE);
    sf_command(sound.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);

    const auto rate = static_cast<std::uint32_t>(info.samplerate);
    const std::size_t mostFrames = longestSoundFrames(rate, limits);
    const bool mono = info.channels == 1;
    std::vector<std::int16_t> block(static_cast<std::size_t>(kBlockFrames * info.channels));
    std::vector<std::int16_t> stereo;
    // The header's length is only a first guess at the room needed, and taken as no more frames
    // than the file has bytes, so that a false one costs little.
    makeRoom(stereo,
             static_cast<std::size_t>(std::min<std::uint64_t>(
                 {static_cast<std::uint64_t>(info.frames), fileSize, mostFrames})),
             mostFrames);
    for (;;) {
        const sf_count_t read = sf_readf_short(sound.get(), block.data(), kBlockFrames);
        if (read <= 0)
            break;
        const auto frames = static_cast<std::size_t>(read);
        if (stereo.size() / 2 + frames > mostFrames)
            return refused(Problem::tooLong);
        makeRoom(stereo, frames, mostFrames);
        for (std::size_t i = 0; i < frames; ++i) {
            stereo.push_back(block[mono ? i : 2 * i]);
            stereo.push_back(block[mono ? i : 2 * i + 1]);
        }
    }
    if (io.exhausted())
        return refused(Problem::damaged);
    const auto decoded = static_cast<sf_count_t>(stereo.size() / 2);
    // A length of SF_COUNT_MAX means the file does not say how long it is.
    if (sf_error(sound.get()) != SF_ERR_NO_ERROR ||
        (info.frames != SF_COUNT_MAX && decoded < info.frames))
        return refused(Problem::cutShort);
    if (decoded == 0)
        return refused(Problem::silent);
    return std::make_shared<const SoundBuffer>(std::move(stereo), rate);
}

// Copies the loop's last `before` frames ahead of it and its first `after` frames behind it, in
// `stereo` whose loop of `frames` frames starts after `before` frames.
void wrapLoop(std::int16_t* stereo, std::size_t frames, std::size_t before, std::size_t after) {
    const auto copyFrame = [&](std::size_t to, std::size_t loopFrame) {
        stereo[2 * to] = stereo[2 * (before + loopFrame)];
        stereo[2 * to + 1] = stereo[2 * (before + loopFrame) + 1];
    };
    for (std::size_t i = 0; i < before; ++i)
        copyFrame(i, (frames - (before - i) % frames) % frames);
    for (std::size_t i = 0; i < after; ++i)
        copyFrame(before + frames + i, i % frames);
}

std::int16_t toSample(float value) {
    return static_cast<std::int16_t>(std::lround(std::clamp(value, -32768.0f, 32767.0f)));
}

} // namespace

SoundBuffer::SoundBuffer(std::vector<std::int16_t> interleavedStereo, std::uint32_t sampleRate)
    : frames_(interleavedStereo.size() / 2), sampleRate_(sampleRate) {
    for (const std::int16_t sample : interleavedStereo)
        meanSquare_ += static_cast<double>(sample) * sample;
    meanSquare_ /= static_cast<double>(interleavedStereo.size());
    std::vector<std::int16_t>& padded = interleavedStereo;
    padded.resize(padded.size() + 2 * kPaddingFrames);
    std::copy_backward(padded.begin(), padded.begin() + 2 * frames_,
                       padded.begin() + 2 * (frames_ + LongKernel::kFramesBefore));
    wrapLoop(padded.data(), frames_, LongKernel::kFramesBefore, LongKernel::kFramesAfter);

    doubled_.resize(2 * (2 * frames_ + ShortKernel::kFramesBefore + ShortKernel::kFramesAfter));
    std::vector<float> halfway(2 * kDoublingBlock);
    for (std::size_t first = 0; first < frames_; first += kDoublingBlock) {
        const std::size_t count = std::min(kDoublingBlock, frames_ - first);
        std::fill(halfway.begin(), halfway.end(), 0.0f);
        addHalfwayFrames(padded.data(), first, count, halfway.data());
        for (std::size_t i = 0; i < count; ++i) {
            std::int16_t* to = doubled_.data() + 2 * (2 * (first + i) + kPad);
            const std::int16_t* from = padded.data() + 2 * (first + i + LongKernel::kFramesBefore);
            to[0] = from[0];
            to[1] = from[1];
            to[2] = toSample(halfway[2 * i] * 0.5f);
            to[3] = toSample(halfway[2 * i + 1] * 0.5f);
        }
    }
    wrapLoop(doubled_.data(), 2 * frames_, ShortKernel::kFramesBefore, ShortKernel::kFramesAfter);
}

std::size_t longestSoundFrames(std::uint32_t sampleRate, const SoundFileLimits& limits) {
    const std::size_t framesInMemory = limits.largestBytes / (2 * kFrameBytes);
    return std::min(static_cast<std::size_t>(limits.longestSeconds) * sampleRate,
                    framesInMemory > kPaddingFrames ? framesInMemory - kPaddingFrames : 0);
}

SoundFileResult loadSoundFile(const std::filesystem::path& path, const SoundFileLimits& limits) {
    try {
        return decode(path, limits);
    } catch (const std::bad_alloc&) {
        return refused(Problem::notEnoughMemory);
    } catch (...) {
        return refused(Problem::unreadable);
    }
}

} // namespace calmfield::engine
