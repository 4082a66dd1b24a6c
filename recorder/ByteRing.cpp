#include "recorder/ByteRing.h"

#include <algorithm>
#include <cstring>

namespace calmfield::recorder {

ByteRing::ByteRing(std::size_t capacity) : bytes_(capacity) {}

std::span<std::uint8_t> ByteRing::writableRegion() noexcept {
    const std::uint64_t written = written_.load(std::memory_order_relaxed);
    const std::uint64_t read = read_.load(std::memory_order_acquire);
    const std::size_t free = bytes_.size() - static_cast<std::size_t>(written - read);
    const std::size_t at = static_cast<std::size_t>(written % bytes_.size());
    return {bytes_.data() + at, std::min(free, bytes_.size() - at)};
}

void ByteRing::commit(std::size_t count) noexcept {
    written_.store(written_.load(std::memory_order_relaxed) + count, std::memory_order_release);
}

std::size_t ByteRing::write(const std::uint8_t* bytes, std::size_t count) noexcept {
    std::size_t done = 0;
    while (done < count) {
        const std::span<std::uint8_t> region = writableRegion();
        if (region.empty())
            break;
        const std::size_t n = std::min(region.size(), count - done);
        std::memcpy(region.data(), bytes + done, n);
        commit(n);
        done += n;
    }
    return done;
}

std::span<const std::uint8_t> ByteRing::readableRegion() const noexcept {
    const std::uint64_t read = read_.load(std::memory_order_relaxed);
    const std::uint64_t written = written_.load(std::memory_order_acquire);
    const std::size_t held = static_cast<std::size_t>(written - read);
    const std::size_t at = static_cast<std::size_t>(read % bytes_.size());
    return {bytes_.data() + at, std::min(held, bytes_.size() - at)};
}

void ByteRing::consume(std::size_t count) noexcept {
    read_.store(read_.load(std::memory_order_relaxed) + count, std::memory_order_release);
}

std::size_t ByteRing::read(std::uint8_t* bytes, std::size_t count) noexcept {
    std::size_t done = 0;
    while (done < count) {
        const std::span<const std::uint8_t> region = readableRegion();
        if (region.empty())
            break;
        const std::size_t n = std::min(region.size(), count - done);
        std::memcpy(bytes + done, region.data(), n);
        consume(n);
        done += n;
    }
    return done;
}

std::size_t ByteRing::readable() const noexcept {
    return static_cast<std::size_t>(written_.load(std::memory_order_acquire) -
                                    read_.load(std::memory_order_acquire));
}

} // namespace calmfield::recorder
