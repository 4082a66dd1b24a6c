// The startup settings file as the program finds it at start-up, whatever another program or an
// editor left there.

#include "tests/fuzz/MixChecks.h"

using namespace calmfield;
using namespace calmfield::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder folder;
    const QString file = qtPath(folder.write("settings.ini", data, size));
    const auto read = persistence::readSettings(file);
    if (!read.ok()) {
        require(!read.reason().isEmpty(), "a refused settings file says why");
        return 0;
    }
    requireShownByControls(read.value().mix);
    require(within(read.value().startInTray, persistence::kOff, persistence::kGreyed),
            "start in tray is a state of its check box");

    // A settings file holds a whole mix in front, so it loads as a configuration file too, unless
    // what follows its fields is a drift line, which only a configuration reads.
    const auto asMix = persistence::readMix(file);
    if (asMix.ok()) {
        persistence::Mix withoutDrift = asMix.value();
        withoutDrift.drift = {};
        require(withoutDrift == read.value().mix,
                "a settings file loads as the configuration of its own mix");
    } else {
        require(asMix.reason().startsWith(QStringLiteral("its drift line ")),
                "a settings file is refused as a configuration only for a damaged drift line");
    }

    const QString written = qtPath(folder.path() / "written.ini");
    require(persistence::writeSettings(written, read.value()).ok(), "the settings are written");
    const auto again = persistence::readSettings(written);
    require(again.ok() && again.value() == read.value(),
            "settings read, written and read again keep their values");
    return 0;
}
