#include "recorder/WaveFileSaving.h"

#include <sndfile.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <random>

namespace calmfield::recorder {
namespace {

constexpr std::size_t kCopyBytes = std::size_t{64} << 10;

constexpr int kNameAttempts = 100;

class PartFile {
  public:
    explicit PartFile(const std::filesystem::path& target) {
        const std::filesystem::path folder =
            target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
        std::random_device random;
        // Made like any new file, so the user's umask decides who may read a saved take.
        for (int attempt = 0; attempt < kNameAttempts && descriptor_ < 0; ++attempt) {
            char suffix[16];
            std::snprintf(suffix, sizeof suffix, ".part-%08x", random());
            path_ = (folder / ("." + target.filename().string() + suffix)).string();
            descriptor_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (descriptor_ < 0 && errno != EEXIST)
                break;
        }
        if (descriptor_ < 0)
            error_ = errno;
    }
    ~PartFile() {
        if (descriptor_ >= 0)
            ::close(descriptor_);
        if (!kept_ && descriptor_ >= 0)
            ::unlink(path_.c_str());
    }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    int descriptor() const { return descriptor_; }
    int error() const { return error_; }

    // Closes the file and gives it the target's name.
    bool moveTo(const std::filesystem::path& target) {
        const int closed = ::close(descriptor_);
        if (closed != 0) {
            error_ = errno;
            ::unlink(path_.c_str());
            descriptor_ = -1;
            return false;
        }
        if (::rename(path_.c_str(), target.c_str()) != 0) {
            error_ = errno;
            ::unlink(path_.c_str());
            descriptor_ = -1;
            return false;
        }
        descriptor_ = -1;
        kept_ = true;
        return true;
    }

  private:
    std::string path_;
    int descriptor_ = -1;
    int error_ = 0;
    bool kept_ = false;
};

// Writes the take into the open part file; gives errno's reason on failure.
int writeWave(int descriptor, const SpoolFile& take, std::uint64_t bytes,
              sound::BytePcmFormat format) {
    SF_INFO info{};
    info.samplerate = static_cast<int>(format.rate);
    info.channels = format.channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_U8;
    SNDFILE* wave = sf_open_fd(descriptor, SFM_WRITE, &info, SF_FALSE);
    if (wave == nullptr)
        return errno != 0 ? errno : EIO;

    std::array<std::uint8_t, kCopyBytes> chunk;
    int failure = 0;
    for (std::uint64_t at = 0; at < bytes && failure == 0;) {
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), bytes - at));
        const long got = take.readAt(at, chunk.data(), wanted);
        if (got <= 0) {
            failure = got < 0 ? errno : EIO;
            break;
        }
        errno = 0;
        const auto written = sf_write_raw(wave, chunk.data(), got);
        if (written != got)
            failure = errno != 0 ? errno : ENOSPC;
        at += static_cast<std::uint64_t>(got);
    }
    // Closing writes the header's final lengths; a disk that fills up then shows in the sync.
    if (sf_close(wave) != 0 && failure == 0)
        failure = EIO;
    if (failure == 0 && ::fsync(descriptor) != 0)
        failure = errno;
    return failure;
}

} // namespace

files::Result<files::Done, std::string> saveWaveFile(const SpoolFile& take, std::uint64_t bytes,
                                                     sound::BytePcmFormat format,
                                                     const std::filesystem::path& target) {
    std::error_code ignored;
    if (std::filesystem::is_directory(target, ignored))
        return files::failure(fileFailureReason(EISDIR));
    PartFile part(target);
    if (part.descriptor() < 0)
        return files::failure(fileFailureReason(part.error()));
    if (const int failure = writeWave(part.descriptor(), take, bytes, format); failure != 0)
        return files::failure(fileFailureReason(failure));
    if (!part.moveTo(target))
        return files::failure(fileFailureReason(part.error()));
    return files::Done{};
}

} // namespace calmfield::recorder
