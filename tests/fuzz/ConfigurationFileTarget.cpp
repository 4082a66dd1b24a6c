// A configuration file loaded from the menu: saved by this program, by another version of it, or
// by hand in an editor.

#include "persistence/LineFormat.h"
#include "tests/fuzz/MixChecks.h"

#include <string>

using namespace calmfield;
using namespace calmfield::fuzzing;

namespace {

// The line as an editor may save it again: a byte-order mark in front, a blank after each
// comma, and a bare line feed at the end.
std::string asEditorSavesIt(const calmfield::persistence::Mix& mix) {
    std::vector<std::int16_t> fields;
    for (const auto* part : {&mix.toggles, &mix.volumes, &mix.frequencies})
        for (const int value : *part)
            fields.push_back(static_cast<std::int16_t>(value));
    std::string line = "\xEF\xBB\xBF";
    for (const char c : calmfield::persistence::formatLine(fields)) {
        if (c != '\r')
            line += c;
        if (c == ',')
            line += ' ';
    }
    return line;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder folder;
    const QString file = qtPath(folder.write("mix.cfg", data, size));
    const auto read = persistence::readMix(file);
    if (!read.ok()) {
        require(!read.reason().isEmpty(), "a refused configuration file says why");
        return 0;
    }
    requireShownByControls(read.value());

    const QString written = qtPath(folder.path() / "written.cfg");
    require(persistence::writeMix(written, read.value()).ok(), "the mix is written");
    const auto again = persistence::readMix(written);
    require(again.ok() && again.value() == read.value(),
            "a mix read, written and read again keeps its values");

    const std::string edited = asEditorSavesIt(read.value());
    const auto reedited = persistence::readMix(qtPath(folder.write(
        "edited.cfg", reinterpret_cast<const std::uint8_t*>(edited.data()), edited.size())));
    require(reedited.ok() && reedited.value() == read.value(),
            "a mix saved again by an editor keeps its values");
    return 0;
}
