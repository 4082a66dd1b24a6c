#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace calmfield::engine {

// The listener's tone: ten octave bands boosted or cut, and a one-octave notch that may be put
// anywhere from 500 Hz to about 12 kHz. It shapes everything the program plays, whatever the mix.
struct ToneSetting {
    static constexpr std::size_t kBandCount = 10;
    // Each band's centre, in hertz.
    static constexpr std::array<double, kBandCount> kBandCentres{
        31.5, 63.0, 125.0, 250.0, 500.0, 1000.0, 2000.0, 4000.0, 8000.0, 16000.0};
    // A band's gain is kept in half decibels, from -12 dB to +12 dB.
    static constexpr int kLowestHalfDb = -24;
    static constexpr int kHighestHalfDb = 24;
    // The notch's centre is 500 Hz × 2^(step / 12).
    static constexpr int kLowestNotchStep = 0;
    static constexpr int kHighestNotchStep = 55;
    static constexpr int kShallowestNotchDb = 10;
    static constexpr int kDeepestNotchDb = 40;

    std::array<int, kBandCount> bandHalfDb{};
    bool notch = false;
    int notchStep = 36; // 4 kHz
    int notchDepthDb = 30;

    static double notchCentreHz(int step) { return 500.0 * std::exp2(step / 12.0); }
    double notchCentreHz() const { return notchCentreHz(notchStep); }
    double bandDb(std::size_t band) const { return bandHalfDb[band] / 2.0; }

    // Every band at 0 dB and no notch: the stage that applies the tone is passed by.
    bool flat() const {
        for (int halfDb : bandHalfDb)
            if (halfDb != 0)
                return false;
        return !notch;
    }
    // Every band at 0 dB and the notch unticked, keeping where the notch was.
    ToneSetting flattened() const {
        ToneSetting setting = *this;
        setting.bandHalfDb.fill(0);
        setting.notch = false;
        return setting;
    }
    // Every field brought within its range.
    ToneSetting clamped() const;

    bool operator==(const ToneSetting&) const = default;
};

inline ToneSetting ToneSetting::clamped() const {
    ToneSetting setting = *this;
    for (int& halfDb : setting.bandHalfDb)
        halfDb = std::clamp(halfDb, kLowestHalfDb, kHighestHalfDb);
    setting.notchStep = std::clamp(notchStep, kLowestNotchStep, kHighestNotchStep);
    setting.notchDepthDb = std::clamp(notchDepthDb, kShallowestNotchDb, kDeepestNotchDb);
    return setting;
}

} // namespace calmfield::engine
