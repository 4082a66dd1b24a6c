#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace calmfield::recorder {

// A fixed ring of bytes between one writing and one reading thread, neither of which ever waits
// for the other or takes a lock. Its memory is allocated and touched once, when it is made.
class ByteRing {
  public:
    explicit ByteRing(std::size_t capacity);

    // Writer side: copies as much of `bytes` as fits; gives how much that was.
    std::size_t write(const std::uint8_t* bytes, std::size_t count) noexcept;
    // Writer side: the free space that follows on without wrapping, to be filled in place and
    // then committed.
    std::span<std::uint8_t> writableRegion() noexcept;
    void commit(std::size_t count) noexcept;

    // Reader side: copies up to `count` bytes out; gives how many.
    std::size_t read(std::uint8_t* bytes, std::size_t count) noexcept;
    // Reader side: the bytes that follow on without wrapping, to be used in place and then
    // consumed.
    std::span<const std::uint8_t> readableRegion() const noexcept;
    void consume(std::size_t count) noexcept;

    std::size_t readable() const noexcept;
    std::size_t writable() const noexcept { return capacity() - readable(); }
    std::size_t capacity() const noexcept { return bytes_.size(); }

  private:
    std::vector<std::uint8_t> bytes_;
    // Bytes ever written and read; their difference is what the ring holds.
    std::atomic<std::uint64_t> written_{0};
    std::atomic<std::uint64_t> read_{0};
};

} // namespace calmfield::recorder
