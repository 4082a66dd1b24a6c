#include "render/RenderedFile.h"

#include "render/PartFiles.h"

#include <sndfile.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

namespace calmfield::render {
namespace {

namespace fs = std::filesystem;

// As many links as the system itself follows in one path.
constexpr int kLinkHops = 40;
constexpr int kNameAttempts = 100;

std::string quoted(const fs::path& path) {
    return "\"" + path.string() + "\"";
}

std::string systemError(int number) {
    return std::strerror(number);
}

fs::path folderOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// The file `path` names once its links are followed; it need not exist yet.
fs::path followLinks(fs::path path) {
    for (int hop = 0; hop < kLinkHops; ++hop) {
        std::error_code notALink;
        const fs::path next = fs::read_symlink(path, notALink);
        if (notALink)
            break;
        path = next.is_absolute() ? next : folderOf(path) / next;
    }
    return path;
}

// The errors of a file system or a system that cannot make a file without a name.
bool unnamedUnsupported(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// A part file beside `destination` that no other file has, made with the user's usual
// permissions. Gives the descriptor, or -1 with errno set.
int createNamed(const fs::path& destination, fs::path& temporary) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary = partFileName(destination, ::getpid(), attempt);
        const int descriptor =
            ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
    temporary.clear();
    return -1;
}

} // namespace

files::Result<std::unique_ptr<RenderedFile>, std::string>
RenderedFile::create(const fs::path& target, const RenderFormat& format, std::uint32_t rate) {
    const fs::path destination = followLinks(target);
    removeStalePartFiles(destination);
    std::unique_ptr<RenderedFile> file(new RenderedFile(target, destination));
    // Made like any new file, so that the user's umask decides who may read a new render.
    file->descriptor_ = ::open(folderOf(destination).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (file->descriptor_ < 0 && unnamedUnsupported(errno))
        file->descriptor_ = createNamed(destination, file->temporary_);
    if (file->descriptor_ < 0)
        return files::failure("No file can be made beside " + quoted(target) + ": " +
                              systemError(errno) + ".");
    // A render replacing a file keeps who may read and write it.
    struct stat existing {};
    if (::stat(destination.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
        ::fchmod(file->descriptor_, existing.st_mode & 07777) != 0)
        return files::failure("The permissions of " + quoted(target) +
                              " cannot be kept: " + systemError(errno) + ".");

    SF_INFO info{};
    info.samplerate = static_cast<int>(rate);
    info.channels = 2;
    info.format = format.code;
    file->sound_ = sf_open_fd(file->descriptor_, SFM_WRITE, &info, SF_FALSE);
    if (file->sound_ == nullptr)
        return files::failure("The sound file " + quoted(target) +
                              " cannot be written: " + sf_strerror(nullptr) + ".");
    sf_command(file->sound_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return file;
}

RenderedFile::RenderedFile(fs::path target, fs::path destination)
    : target_(std::move(target)), destination_(std::move(destination)) {}

RenderedFile::~RenderedFile() {
    if (finished_)
        return;
    close();
    std::error_code ignored;
    if (!temporary_.empty())
        fs::remove(temporary_, ignored);
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

int RenderedFile::linkUnnamed() {
    // Through /proc, which any user may do; without /proc, by the descriptor itself, which needs
    // a privilege.
    const std::string byProc = "/proc/self/fd/" + std::to_string(descriptor_);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const fs::path name = partFileName(destination_, ::getpid(), attempt);
        int linked = ::linkat(AT_FDCWD, byProc.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
        if (linked != 0 && errno != EEXIST)
            linked = ::linkat(descriptor_, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH);
        if (linked == 0) {
            temporary_ = name;
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
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
    if (::fsync(descriptor_) != 0)
        return failed(systemError(errno));
    // Named only now, and only for as long as the rename takes.
    if (temporary_.empty())
        if (const int error = linkUnnamed(); error != 0)
            return failed(systemError(error));
    if (::close(std::exchange(descriptor_, -1)) != 0)
        return failed(systemError(errno));
    std::error_code error;
    fs::rename(temporary_, destination_, error);
    if (error)
        return failed(error.message());
    finished_ = true;
    return files::Done{};
}

} // namespace calmfield::render
