#pragma once

#include "files/RegularFile.h"

#include <sndfile.h>

#include <cstdint>

namespace calmfield::engine {

// libsndfile's view of an open regular file, with a budget on what the decoder may ask of it: a
// few times the file's bytes read, and a number of calls in proportion to its size. Past the
// budget the file reads as ended, so that a decoder going round in a damaged file stops.
class BudgetedSoundFileIo {
  public:
    explicit BudgetedSoundFileIo(files::RegularFile file);
    BudgetedSoundFileIo(const BudgetedSoundFileIo&) = delete;
    BudgetedSoundFileIo& operator=(const BudgetedSoundFileIo&) = delete;

    // Opens the file for reading through this object, which must outlive the SNDFILE.
    SNDFILE* open(SF_INFO& info);
    bool exhausted() const { return exhausted_; }

  private:
    static sf_count_t length(void* self);
    static sf_count_t seek(sf_count_t offset, int whence, void* self);
    static sf_count_t read(void* into, sf_count_t count, void* self);
    static sf_count_t write(const void* from, sf_count_t count, void* self);
    static sf_count_t tell(void* self);
    // Counts a call; false once the budget is spent.
    bool spend(std::uint64_t bytes);

    files::RegularFile file_;
    sf_count_t size_;
    sf_count_t position_ = 0;
    std::uint64_t bytesLeft_;
    std::uint64_t callsLeft_;
    bool exhausted_ = false;
};

} // namespace calmfield::engine
