#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace calmfield::files {

// Whether `path` names a regular file, following links. It is never opened, so a pipe, a device
// or a folder under the name cannot keep the caller waiting.
bool isRegularFile(const std::filesystem::path& path);

// Reads up to `count` bytes at `offset` of the open file at `descriptor` without moving its
// position, going on after an interrupted read; how many it read, fewer at the end of the file or
// on an error.
std::size_t readAt(int descriptor, std::uint64_t offset, void* into, std::size_t count);

// A regular file open for reading, closed when the object goes. Anything else under the name (a
// pipe, a device, a folder) is refused as what it is and never opened, so opening never blocks.
class RegularFile {
  public:
    enum class Failure {
        none,
        missing,    // nothing by that name
        folder,     // a folder has the name
        notRegular, // something other than a file or a folder: a pipe, a device, a socket
        notAllowed, // the user may not read it
        unreadable, // any other reason the system gives
    };

    static RegularFile open(const std::filesystem::path& path);

    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;
    ~RegularFile();

    bool isOpen() const { return descriptor_ >= 0; }
    Failure failure() const { return failure_; }
    int descriptor() const { return descriptor_; }
    std::uint64_t size() const { return size_; } // when it was opened

    // Hands the descriptor over to a caller who will close it.
    int release();

    // Appends what is left of the file to `bytes`, at most `limit` bytes; false on a read error.
    bool readUpTo(std::size_t limit, std::string& bytes);

  private:
    RegularFile(int descriptor, Failure failure, std::uint64_t size)
        : descriptor_(descriptor), failure_(failure), size_(size) {}

    int descriptor_ = -1;
    Failure failure_ = Failure::none;
    std::uint64_t size_ = 0;
};

} // namespace calmfield::files
