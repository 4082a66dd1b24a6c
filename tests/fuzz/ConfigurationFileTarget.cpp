// A configuration file loaded from the menu: saved by this program, by another version of it, or
// by hand in an editor.

#include "persistence/DriftLine.h"
#include "persistence/LineFormat.h"
#include "tests/fuzz/MixChecks.h"

#include <string>

using namespace calmfield;
using namespace calmfield::fuzzing;

namespace {

std::vector<std::int16_t> fieldsOf(const calmfield::persistence::Mix& mix) {
    std::vector<std::int16_t> fields;
    for (const auto* part : {&mix.toggles, &mix.volumes, &mix.frequencies})
        for (const int value : *part)
            fields.push_back(static_cast<std::int16_t>(value));
    return fields;
}

// The lines as an editor may save them again: a byte-order mark in front, a blank after each
// comma, and bare line feeds.
std::string asEditorSavesIt(const calmfield::persistence::Mix& mix) {
    std::string line = "\xEF\xBB\xBF";
    std::string text = calmfield::persistence::formatLine(fieldsOf(mix));
    if (mix.drift.on)
        text += calmfield::persistence::formatDriftLine(mix.drift);
    for (const char c : text) {
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
    const auto older = persistence::parseLine(
        std::string_view(reinterpret_cast<const char*>(data), size), persistence::Mix::kFieldCount);
    require(older.ok() && older.value() == fieldsOf(read.value()),
            "a copy that reads only the fifteen fields loads the same mix");

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
