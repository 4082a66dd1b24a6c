#pragma once

#include "engine/DriftSetting.h"
#include "engine/NoiseColours.h"
#include "files/Result.h"
#include "persistence/ToggleState.h"

#include <QString>

#include <array>
#include <cstddef>

namespace calmfield::persistence {

// What the five colours play, brown to purple: whether each is ticked, its volume and its
// frequency, and how their levels drift. A configuration file holds the fifteen fields in this
// order on one line, and a mix with drift one more line after it.
struct Mix {
    // Volumes in hundredths of a decibel, frequencies in hertz.
    static constexpr int kQuietest = -3000;
    static constexpr int kLoudest = 0;
    static constexpr int kLowestFrequency = 1000;
    static constexpr int kHighestFrequency = 32767;
    static constexpr int kStartingFrequency = 32000;
    static constexpr std::size_t kFieldCount = 3 * engine::kColourCount;

    using PerColour = std::array<int, engine::kColourCount>;
    PerColour toggles{}; // kOff, kOn or kGreyed
    PerColour volumes{};
    PerColour frequencies{kStartingFrequency, kStartingFrequency, kStartingFrequency,
                          kStartingFrequency, kStartingFrequency};
    engine::DriftSetting drift{};

    bool operator==(const Mix&) const = default;
};

// The startup settings file: the mix without its drift, then "Start in system tray".
struct Settings {
    static constexpr std::size_t kFieldCount = Mix::kFieldCount + 1;

    Mix mix;
    int startInTray = kOff;

    bool operator==(const Settings&) const = default;
};

// Each reads the file whole: every field there and within its range, or what is wrong with the
// file in words for the user. A configuration file may hold more fields than the mix; they are
// ignored, as is any text after them but a drift line (see DriftLine.h), which gives the mix its
// drift.
files::Result<Mix, QString> readMix(const QString& path);
files::Result<Settings, QString> readSettings(const QString& path);

// Each writes one line, replacing the old file only once the new one is complete, or gives what
// went wrong.
files::Result<files::Done, QString> writeMix(const QString& path, const Mix& mix);
files::Result<files::Done, QString> writeSettings(const QString& path, const Settings& settings);

} // namespace calmfield::persistence
