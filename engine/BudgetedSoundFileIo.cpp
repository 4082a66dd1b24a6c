#include "engine/BudgetedSoundFileIo.h"

#include <algorithm>
#include <limits>

namespace calmfield::engine {
namespace {

// A decoder reads a header more than once and a whole sound once; a few times the file is room
// for both.
constexpr std::uint64_t kReadsOfTheFile = 4;
constexpr std::uint64_t kBytesForAnyFile = std::uint64_t{1} << 20;
// Calls: one for every 16 bytes of the file, and enough for a header read piece by piece.
constexpr std::uint64_t kBytesPerCall = 16;
constexpr std::uint64_t kCallsForAnyFile = 100000;

BudgetedSoundFileIo& io(void* self) {
    return *static_cast<BudgetedSoundFileIo*>(self);
}

} // namespace

BudgetedSoundFileIo::BudgetedSoundFileIo(files::RegularFile file)
    : file_(std::move(file)), size_(static_cast<sf_count_t>(file_.size())),
      bytesLeft_(kReadsOfTheFile * file_.size() + kBytesForAnyFile),
      callsLeft_(file_.size() / kBytesPerCall + kCallsForAnyFile) {}

SNDFILE* BudgetedSoundFileIo::open(SF_INFO& info) {
    SF_VIRTUAL_IO callbacks{&length, &seek, &read, &write, &tell};
    return sf_open_virtual(&callbacks, SFM_READ, &info, this);
}

bool BudgetedSoundFileIo::spend(std::uint64_t bytes) {
    if (exhausted_ || callsLeft_ == 0 || bytes > bytesLeft_) {
        exhausted_ = true;
        return false;
    }
    --callsLeft_;
    bytesLeft_ -= bytes;
    return true;
}

sf_count_t BudgetedSoundFileIo::length(void* self) {
    return io(self).size_;
}

sf_count_t BudgetedSoundFileIo::seek(sf_count_t offset, int whence, void* self) {
    BudgetedSoundFileIo& file = io(self);
    if (!file.spend(0))
        return file.position_ = file.size_;
    sf_count_t from = 0;
    if (whence == SEEK_CUR)
        from = file.position_;
    else if (whence == SEEK_END)
        from = file.size_;
    else if (whence != SEEK_SET)
        return -1;
    // As with a file descriptor, a position past the end reads nothing.
    if (offset < -from || offset > std::numeric_limits<sf_count_t>::max() - from)
        return -1;
    return file.position_ = from + offset;
}

sf_count_t BudgetedSoundFileIo::read(void* into, sf_count_t count, void* self) {
    BudgetedSoundFileIo& file = io(self);
    const sf_count_t wanted = std::clamp<sf_count_t>(count, 0, file.size_ - file.position_);
    if (wanted <= 0 || !file.spend(static_cast<std::uint64_t>(wanted)))
        return 0;
    const auto done = static_cast<sf_count_t>(
        files::readAt(file.file_.descriptor(), static_cast<std::uint64_t>(file.position_), into,
                      static_cast<std::size_t>(wanted)));
    file.position_ += done;
    return done;
}

sf_count_t BudgetedSoundFileIo::write(const void*, sf_count_t, void*) {
    return 0;
}

sf_count_t BudgetedSoundFileIo::tell(void* self) {
    BudgetedSoundFileIo& file = io(self);
    if (!file.spend(0))
        return file.size_;
    return file.position_;
}

} // namespace calmfield::engine
