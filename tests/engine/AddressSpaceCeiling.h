#pragma once

#include <cstddef>
#include <functional>

namespace calmfield::testing {

// Runs `body` in a forked copy of this process whose address space may grow by at most `bytes`
// past what it already holds, so that an allocation beyond fails there. Gives what `body`
// returned, or 128 plus the signal that ended the copy (an uncaught std::bad_alloc aborts it).
int runWithinAddressSpace(std::size_t bytes, const std::function<int()>& body);

} // namespace calmfield::testing
