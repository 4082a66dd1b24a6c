#include "recorder/SpoolFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace calmfield::recorder {

SpoolFile::~SpoolFile() {
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

std::string SpoolFile::create(const std::filesystem::path& folder) {
    if (descriptor_ >= 0)
        return {};
    descriptor_ = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (descriptor_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // A file system without unnamed files: make a named one and take its name away at once.
        std::string pattern = (folder / "calmfield-take-XXXXXX").string();
        descriptor_ = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (descriptor_ >= 0)
            ::unlink(pattern.c_str());
    }
    if (descriptor_ < 0)
        return fileFailureReason(errno);
    size_ = 0;
    return {};
}

bool SpoolFile::append(const std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        const ssize_t written = ::pwrite(descriptor_, bytes, count, static_cast<off_t>(size_));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        size_ += static_cast<std::uint64_t>(written);
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

long SpoolFile::readAt(std::uint64_t offset, std::uint8_t* bytes, std::size_t count) const {
    if (offset >= size_)
        return 0;
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, size_ - offset));
    ssize_t got;
    do
        got = ::pread(descriptor_, bytes, count, static_cast<off_t>(offset));
    while (got < 0 && errno == EINTR);
    return static_cast<long>(got);
}

bool SpoolFile::truncate(std::uint64_t bytes) {
    if (::ftruncate(descriptor_, static_cast<off_t>(bytes)) != 0)
        return false;
    size_ = bytes;
    return true;
}

std::string fileFailureReason(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return "the folder does not exist";
    case EACCES:
    case EPERM:
        return "permission denied";
    case EROFS:
        return "the disk can only be read";
    case ENOSPC:
    case EDQUOT:
        return "the disk is full";
    case EFBIG:
        return "the file would be too large";
    case EISDIR:
        return "a folder has that name";
    case ENAMETOOLONG:
        return "the name is too long";
    default:
        return std::strerror(error);
    }
}

} // namespace calmfield::recorder
