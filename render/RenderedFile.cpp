#include "render/RenderedFile.h"

#include <sndfile.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

namespace calmfield::render {
namespace {

std::string quoted(const std::filesystem::path& path) {
    return "\"" + path.string() + "\"";
}

std::string systemError(int number) {
    return std::strerror(number);
}

// A hidden name beside the target that no other file has, made with the user's usual
// permissions. Gives the descriptor, or -1 with errno set.
int createBeside(const std::filesystem::path& target, std::filesystem::path& temporary) {
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder / ("." + target.filename().string() + "." + std::to_string(::getpid()) +
                              "-" + std::to_string(attempt) + ".part");
        const int descriptor =
            ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
    return -1;
}

} // namespace

files::Result<std::unique_ptr<RenderedFile>, std::string>
RenderedFile::create(const std::filesystem::path& target, const RenderFormat& format,
                     std::uint32_t rate) {
    std::filesystem::path temporary;
    const int descriptor = createBeside(target, temporary);
    if (descriptor < 0)
        return files::failure("No file can be made beside " + quoted(target) + ": " +
                              systemError(errno) + ".");
    std::unique_ptr<RenderedFile> file(new RenderedFile(target, temporary, descriptor));
    SF_INFO info{};
    info.samplerate = static_cast<int>(rate);
    info.channels = 2;
    info.format = format.code;
    file->sound_ = sf_open_fd(descriptor, SFM_WRITE, &info, SF_FALSE);
    if (file->sound_ == nullptr)
        return files::failure("The sound file " + quoted(target) +
                              " cannot be written: " + sf_strerror(nullptr) + ".");
    sf_command(file->sound_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return file;
}

RenderedFile::RenderedFile(std::filesystem::path target, std::filesystem::path temporary,
                           int descriptor)
    : target_(std::move(target)), temporary_(std::move(temporary)), descriptor_(descriptor) {}

RenderedFile::~RenderedFile() {
    if (finished_)
        return;
    close();
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
}

files::Failure<std::string> RenderedFile::failed(const std::string& what) const {
    return files::failure("Writing " + quoted(target_) + " failed: " + what + ".");
}

files::Result<files::Done, std::string> RenderedFile::write(const float* interleavedStereo,
                                                            std::size_t frames) {
    const auto count = static_cast<sf_count_t>(frames);
    errno = 0;
    if (sf_writef_float(sound_, interleavedStereo, count) == count)
        return files::Done{};
    const int number = errno;
    return failed(number != 0 ? systemError(number) : std::string(sf_strerror(sound_)));
}

bool RenderedFile::close() {
    bool closed = true;
    if (sound_ != nullptr) {
        closed = sf_close(sound_) == 0;
        sound_ = nullptr;
    }
    if (descriptor_ >= 0) {
        closed = ::close(descriptor_) == 0 && closed;
        descriptor_ = -1;
    }
    return closed;
}

files::Result<files::Done, std::string> RenderedFile::finish() {
    // The file's header is completed on closing the sound file, which can fail as a write does.
    errno = 0;
    if (sf_close(sound_) != 0) {
        sound_ = nullptr;
        return failed(errno != 0 ? systemError(errno)
                                 : std::string("the file could not be completed"));
    }
    sound_ = nullptr;
    if (::fsync(descriptor_) != 0 || ::close(std::exchange(descriptor_, -1)) != 0)
        return failed(systemError(errno));
    std::error_code error;
    std::filesystem::rename(temporary_, target_, error);
    if (error)
        return failed(error.message());
    finished_ = true;
    return files::Done{};
}

} // namespace calmfield::render
