// The routines file as the program reads it at start and whenever it changes: written by the
// Routines window, by another program, or by hand.

#include "routines/RoutinesFile.h"
#include "tests/fuzz/MixChecks.h"

using namespace calmfield;
using namespace calmfield::fuzzing;
using routines::Routine;

namespace {

// A routine read holds only what the window can show.
bool shownByWindow(const Routine& routine) {
    return within(routine.startMinute, 0, Routine::kMinutesADay - 1) &&
           (!routine.endMinute || within(*routine.endMinute, 0, Routine::kMinutesADay - 1)) &&
           routine.rise <= Routine::kLongestRiseOrFall &&
           routine.fall <= Routine::kLongestRiseOrFall && routine.mix == routine.mix.trimmed();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder folder;
    const auto read = routines::readRoutinesFile(qtPath(folder.write("routines", data, size)));
    if (!read.ok()) {
        require(!read.reason().isEmpty(), "a routines file that cannot be read says why");
        return 0;
    }
    const routines::RoutinesFile& file = read.value();
    for (const routines::RoutinesLine& line : file.lines) {
        if (line.routine)
            require(line.problem.isEmpty() && shownByWindow(*line.routine),
                    "a routine read is one the window can show");
    }

    // Written by the window and read again: the same routines, the same lines kept.
    const QString written = qtPath(folder.path() / "written");
    require(routines::writeRoutinesFile(written, file).ok(), "the routines are written");
    const auto again = routines::readRoutinesFile(written);
    require(again.ok() && again.value().routines() == file.routines(),
            "routines written and read again are the same routines");
    require(again.value().problems().size() == file.problems().size(),
            "lines that could not be read are kept as they were");
    return 0;
}
