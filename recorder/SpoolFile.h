#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace calmfield::recorder {

// The file a take is kept in while it is recorded, played and saved: it has no name in its
// folder, so it vanishes when it is closed, whichever way the program ends, and is never seen
// by the user.
class SpoolFile {
  public:
    SpoolFile() = default;
    ~SpoolFile();
    SpoolFile(const SpoolFile&) = delete;
    SpoolFile& operator=(const SpoolFile&) = delete;

    // Makes the file in `folder`; on failure gives why, in the program's words.
    std::string create(const std::filesystem::path& folder);
    bool isOpen() const { return descriptor_ >= 0; }

    // Appends all of `bytes`; on failure what could be written stays and errno says why.
    bool append(const std::uint8_t* bytes, std::size_t count);
    // Reads up to `count` bytes from `offset`; gives how many, 0 at the end, -1 on failure.
    long readAt(std::uint64_t offset, std::uint8_t* bytes, std::size_t count) const;
    // Keeps only the first `bytes`.
    bool truncate(std::uint64_t bytes);

    std::uint64_t size() const { return size_; }

  private:
    int descriptor_ = -1;
    std::uint64_t size_ = 0;
};

// Why a file operation failed, from its errno, as the program tells the user.
std::string fileFailureReason(int error);

} // namespace calmfield::recorder
