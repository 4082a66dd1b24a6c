// The listener's tone file as the program finds it at every start: written by this program, by
// another version of it, or edited by hand.

#include "persistence/ToneFile.h"
#include "tests/fuzz/MixChecks.h"

using namespace calmfield;
using namespace calmfield::fuzzing;
using engine::ToneSetting;

namespace {

// A tone read only holds values its sliders and the notch's controls can show.
bool shownByControls(const ToneSetting& tone) {
    for (const int halfDb : tone.bandHalfDb)
        if (!within(halfDb, ToneSetting::kLowestHalfDb, ToneSetting::kHighestHalfDb))
            return false;
    return within(tone.notchStep, ToneSetting::kLowestNotchStep, ToneSetting::kHighestNotchStep) &&
           within(tone.notchDepthDb, ToneSetting::kShallowestNotchDb, ToneSetting::kDeepestNotchDb);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder folder;
    const QString file = qtPath(folder.write("tone", data, size));
    const auto read = persistence::readToneFile(file);
    if (!read.ok()) {
        // The file is there and readable: all that can be wrong is what it holds.
        require(read.reason().kind == persistence::ToneFileFailure::Kind::damaged,
                "a tone file that is there and readable is damaged when refused");
        require(!read.reason().reason.isEmpty(), "a refused tone file says why");
        return 0;
    }
    const ToneSetting& tone = read.value();
    require(shownByControls(tone), "a tone read is one the tone window can show");

    const auto reparsed = persistence::parseTone(persistence::formatTone(tone));
    require(reparsed.ok() && reparsed.value() == tone,
            "a tone read, formatted and parsed again keeps its value");
    const QString written = qtPath(folder.path() / "written");
    require(persistence::writeToneFile(written, tone).ok(), "the tone is written");
    const auto again = persistence::readToneFile(written);
    require(again.ok() && again.value() == tone,
            "a tone read, written and read again keeps its value");
    return 0;
}
