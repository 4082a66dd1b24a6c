#include "files/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace calmfield::files {
namespace {

RegularFile::Failure failureFor(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG:
        return RegularFile::Failure::missing;
    case EACCES:
    case EPERM:
        return RegularFile::Failure::notAllowed;
    default:
        return RegularFile::Failure::unreadable;
    }
}

RegularFile::Failure failureForKind(mode_t mode) {
    return S_ISDIR(mode) ? RegularFile::Failure::folder : RegularFile::Failure::notRegular;
}

} // namespace

bool isRegularFile(const std::filesystem::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

RegularFile RegularFile::open(const std::filesystem::path& path) {
    // Looked at before opening, since merely opening some devices has an effect.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return {-1, failureFor(errno), 0};
    if (!S_ISREG(status.st_mode))
        return {-1, failureForKind(status.st_mode), 0};

    // Without blocking, in case a pipe has taken the name since; checked again once open.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return {-1, failureFor(errno), 0};
    if (::fstat(descriptor, &status) != 0) {
        const Failure failure = failureFor(errno);
        ::close(descriptor);
        return {-1, failure, 0};
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return {-1, failureForKind(status.st_mode), 0};
    }
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    return {descriptor, Failure::none, static_cast<std::uint64_t>(status.st_size)};
}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)), failure_(other.failure_),
      size_(other.size_) {}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept {
    if (this != &other) {
        if (descriptor_ >= 0)
            ::close(descriptor_);
        descriptor_ = std::exchange(other.descriptor_, -1);
        failure_ = other.failure_;
        size_ = other.size_;
    }
    return *this;
}

RegularFile::~RegularFile() {
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

int RegularFile::release() {
    return std::exchange(descriptor_, -1);
}

bool RegularFile::readUpTo(std::size_t limit, std::string& bytes) {
    char block[4096];
    std::size_t taken = 0;
    while (taken < limit) {
        const std::size_t wanted = std::min(sizeof block, limit - taken);
        const ssize_t count = ::read(descriptor_, block, wanted);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return false;
        if (count == 0)
            break;
        bytes.append(block, static_cast<std::size_t>(count));
        taken += static_cast<std::size_t>(count);
    }
    return true;
}

std::size_t readAt(int descriptor, std::uint64_t offset, void* into, std::size_t count) {
    auto* bytes = static_cast<unsigned char*>(into);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t read =
            ::pread(descriptor, bytes + done, count - done, static_cast<off_t>(offset + done));
        if (read < 0 && errno == EINTR)
            continue;
        if (read <= 0)
            break;
        done += static_cast<std::size_t>(read);
    }
    return done;
}

} // namespace calmfield::files
