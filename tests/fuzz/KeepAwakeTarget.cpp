// The "Keep Computer Awake" choice as the program finds it at every start.

#include "persistence/KeepAwakeChoice.h"
#include "persistence/LineFormat.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>
#include <string_view>

using namespace calmfield;
using namespace calmfield::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder folder;
    folder.write(persistence::KeepAwakeChoice::kFileName, data, size);
    persistence::KeepAwakeChoice choice(folder.path());

    // Kept awake unless the file plainly says no: one number, and that a zero, within the part of
    // the file a line file's reader looks at.
    constexpr std::size_t kLookedAt = 64 * 1024;
    const auto field = persistence::parseLine(
        std::string_view(reinterpret_cast<const char*>(data), std::min(size, kLookedAt)), 1);
    const bool saysNo = field.ok() && field.value().front() == 0;
    require(choice.wanted() == !saysNo, "the computer is kept awake unless the file says no");

    // Either choice, once set, is what the next start reads.
    for (const bool wanted : {!choice.wanted(), choice.wanted()}) {
        require(choice.set(wanted).ok(), "the choice is written");
        require(persistence::KeepAwakeChoice(folder.path()).wanted() == wanted,
                "a choice set is the choice read at the next start");
    }
    return 0;
}
