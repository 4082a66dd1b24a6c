#include "engine/ToneDesign.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace calmfield::engine {
namespace {

constexpr std::size_t kBands = ToneSetting::kBandCount;
// How sharp each band's section is. Wide enough that the sections of equal bands add up to a
// flat response between their centres, narrow enough that each band still shapes its own octave.
constexpr double kBandQ = 0.9;
// The corrections of the bands' section gains stop once every centre is this close, in decibels.
constexpr double kCentreTolerance = 0.002;
constexpr int kMostCorrections = 30;
// No section is given more than this, in decibels, however the bands pull against each other.
constexpr double kLargestSectionDb = 36.0;
// The power gain over a mix is summed on a grid of this many cells per octave, from kLowestGridHz
// up; below it the response is taken as it is there.
constexpr double kGridPerOctave = 24.0;
constexpr double kLowestGridHz = 1.0;
// However high the rate, the grid stops after this many octaves.
constexpr int kMostGridCells = 20 * static_cast<int>(kGridPerOctave);

double warped(double hz, std::uint32_t rate) {
    return std::tan(std::numbers::pi * hz / rate);
}

bool shapedAt(double centreHz, std::uint32_t rate) {
    return centreHz <= ToneDesign::kHighestCentreShare * rate;
}

// The sharpness a band's section needs at `rate` to be as wide below its centre as `q` makes it
// without warping: near half the rate the warping squeezes the sections, which widening undoes.
double bandSharpness(double centreHz, std::uint32_t rate) {
    const double halfOctave = std::numbers::sqrt2 - 1.0 / std::numbers::sqrt2;
    const double reach = warped(centreHz, rate) / warped(centreHz / std::numbers::sqrt2, rate);
    return kBandQ * halfOctave / (reach - 1.0 / reach);
}

// A peaking section at `g` of sharpness `q`, boosting (or cutting) its centre by `gainDb`.
ToneSection peaking(double g, double q, double gainDb) {
    const double a = std::pow(10.0, gainDb / 40.0);
    const double k = 1.0 / (q * a);
    return {g, k, k * (a * a - 1.0), 1.0};
}

// The power gain of `section` at the warped frequency `w` (see warped()).
double powerGain(const ToneSection& section, double w) {
    const double x = w / section.g;
    const double passReal = section.zero - x * x;
    const double real = 1.0 - x * x;
    const double pass = x * (section.k + section.mix);
    const double damp = x * section.k;
    return (passReal * passReal + pass * pass) / (real * real + damp * damp);
}

double gainDb(const ToneSection& section, double w) {
    return 10.0 * std::log10(powerGain(section, w));
}

// The power gain of the cascade of `sections` at the warped frequency `w`.
double cascadePowerGain(const std::array<ToneSection, ToneDesign::kSectionCount>& sections,
                        double w) {
    double power = 1.0;
    for (const ToneSection& section : sections)
        if (!section.passesUnchanged())
            power *= powerGain(section, w);
    return power;
}

// Solves `matrix` x = `rhs` for the first `n` unknowns, in place, by elimination with pivoting.
template <std::size_t N>
void solve(std::array<std::array<double, N>, N> matrix, std::array<double, N>& rhs, std::size_t n) {
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t row = col + 1; row < n; ++row)
            if (std::abs(matrix[row][col]) > std::abs(matrix[pivot][col]))
                pivot = row;
        std::swap(matrix[col], matrix[pivot]);
        std::swap(rhs[col], rhs[pivot]);
        for (std::size_t row = col + 1; row < n; ++row) {
            const double factor = matrix[row][col] / matrix[col][col];
            for (std::size_t c = col; c < n; ++c)
                matrix[row][c] -= factor * matrix[col][c];
            rhs[row] -= factor * rhs[col];
        }
    }
    for (std::size_t col = n; col-- > 0;) {
        for (std::size_t c = col + 1; c < n; ++c)
            rhs[col] -= matrix[col][c] * rhs[c];
        rhs[col] /= matrix[col][col];
    }
}

// The exponent of a power spectrum that rises by `slopeDbPerOctave` each octave.
double powerExponent(double slopeDbPerOctave) {
    return slopeDbPerOctave / (10.0 * std::log10(2.0));
}

// The power of max(f, knee)^exponent from 0 to `hz`.
double powerBelow(double hz, double knee, double exponent) {
    if (hz <= knee)
        return std::pow(knee, exponent) * hz;
    const double rise = exponent + 1.0;
    const double above = std::abs(rise) < 1e-9 ? std::log(hz / knee)
                                               : (std::pow(hz, rise) - std::pow(knee, rise)) / rise;
    return std::pow(knee, rise) + above;
}

// Gives each shaped band's section the gain that brings the cascade to the band's setting at its
// centre: the overlap of the sections is nearly linear in decibels, so solve for it, then correct
// what is left with the exact response.
void designBands(const ToneSetting& setting, std::uint32_t rate, ToneDesign& design) {
    std::array<double, kBands> w{};
    std::array<double, kBands> q{};
    std::array<double, kBands> target{};
    std::size_t shaped = 0;
    bool anyGain = false;
    for (std::size_t band = 0; band < kBands; ++band) {
        const double centre = ToneSetting::kBandCentres[band];
        if (!shapedAt(centre, rate))
            break;
        w[band] = warped(centre, rate);
        q[band] = bandSharpness(centre, rate);
        target[band] = setting.bandDb(band);
        anyGain = anyGain || target[band] != 0.0;
        shaped = band + 1;
    }
    for (std::size_t band = 0; band < kBands; ++band)
        design.sections[band] = band < shaped ? peaking(w[band], q[band], 0.0)
                                              : peaking(warped(0.25 * rate, rate), 1.0, 0.0);
    if (!anyGain)
        return;

    std::array<std::array<double, kBands>, kBands> perDb{};
    for (std::size_t section = 0; section < shaped; ++section) {
        const ToneSection unit = peaking(w[section], q[section], 1.0);
        for (std::size_t centre = 0; centre < shaped; ++centre)
            perDb[centre][section] = gainDb(unit, w[centre]);
    }
    std::array<double, kBands> sectionDb = target;
    solve(perDb, sectionDb, shaped);
    for (int pass = 0; pass < kMostCorrections; ++pass) {
        for (std::size_t band = 0; band < shaped; ++band) {
            sectionDb[band] = std::clamp(sectionDb[band], -kLargestSectionDb, kLargestSectionDb);
            design.sections[band] = peaking(w[band], q[band], sectionDb[band]);
        }
        std::array<double, kBands> error{};
        double worst = 0.0;
        for (std::size_t centre = 0; centre < shaped; ++centre) {
            double reached = 0.0;
            for (std::size_t section = 0; section < shaped; ++section)
                reached += gainDb(design.sections[section], w[centre]);
            error[centre] = target[centre] - reached;
            worst = std::max(worst, std::abs(error[centre]));
        }
        if (worst < kCentreTolerance)
            break;
        solve(perDb, error, shaped);
        for (std::size_t band = 0; band < shaped; ++band)
            sectionDb[band] += error[band];
    }
}

} // namespace

bool ToneMix::silent() const noexcept {
    return std::all_of(sources.begin(), sources.end(),
                       [](const ToneSource& source) { return source.power <= 0.0; });
}

ToneDesign ToneDesign::of(const ToneSetting& setting, std::uint32_t rate,
                          const ToneMix& mix) noexcept {
    ToneDesign design;
    designBands(setting, rate, design);
    const double notchHz = setting.notchCentreHz();
    const bool notchShaped = shapedAt(notchHz, rate);
    const NotchSections notch =
        notchShaped ? notchSections(notchHz, setting.notchDepthDb, rate) : NotchSections{};
    for (std::size_t n = 0; n < kNotchOrder; ++n) {
        ToneSection& section = design.sections[kFirstNotchSection + n];
        section = notch[n];
        // Unticked, or out of reach, it keeps its poles so that ticking it glides.
        if (!setting.notch || !notchShaped) {
            section.mix = 0.0;
            section.zero = 1.0;
        }
    }
    design.lowerInputFor(mix, rate);
    return design;
}

void ToneDesign::lowerInputFor(const ToneMix& mix, std::uint32_t rate) noexcept {
    inputGain = 1.0;
    if (passesUnchanged())
        return;
    inputGain = 1.0 / std::sqrt(std::max(1.0, powerGain(mix, rate)));
}

// Each source's spectrum, scaled to its power over its whole band, is summed cell by cell up to
// where the output hears it, through the cascade and without it.
double ToneDesign::powerGain(const ToneMix& mix, std::uint32_t rate) const noexcept {
    struct Spectrum {
        double scale = 0.0;
        double knee = 0.0;
        double exponent = 0.0;
        double heardTop = 0.0;
    };
    std::array<Spectrum, kColourCount> spectra{};
    const double nyquist = 0.5 * rate;
    const auto responseAt = [&](double hz) { return cascadePowerGain(sections, warped(hz, rate)); };
    double shaped = 0.0;
    double plain = 0.0;
    for (std::size_t s = 0; s < kColourCount; ++s) {
        const ToneSource& source = mix.sources[s];
        if (source.power <= 0.0 || source.topHz <= 0.0)
            continue;
        Spectrum& spectrum = spectra[s];
        spectrum.knee = std::max(source.levelBelowHz, 1e-3);
        spectrum.exponent = powerExponent(source.slopeDbPerOctave);
        spectrum.heardTop = std::min(source.topHz, nyquist);
        spectrum.scale = source.power / powerBelow(source.topHz, spectrum.knee, spectrum.exponent);
        // Below the grid.
        const double below = spectrum.scale * powerBelow(std::min(kLowestGridHz, spectrum.heardTop),
                                                         spectrum.knee, spectrum.exponent);
        plain += below;
        shaped += below * responseAt(kLowestGridHz);
    }

    const double cellRatio = std::exp2(1.0 / kGridPerOctave);
    double low = kLowestGridHz;
    for (int cell = 0; cell < kMostGridCells && low < nyquist; ++cell, low *= cellRatio) {
        const double high = low * cellRatio;
        const double middle = low * std::sqrt(cellRatio);
        double cellPower = 0.0;
        for (const Spectrum& spectrum : spectra) {
            if (spectrum.scale == 0.0 || low >= spectrum.heardTop)
                continue;
            cellPower += spectrum.scale *
                         std::pow(std::max(middle, spectrum.knee), spectrum.exponent) *
                         (std::min(high, spectrum.heardTop) - low);
        }
        if (cellPower == 0.0)
            continue;
        plain += cellPower;
        shaped += cellPower * responseAt(std::min(middle, 0.999 * nyquist));
    }
    return plain > 0.0 ? shaped / plain : 1.0;
}

ToneDesign ToneDesign::between(const ToneDesign& from, const ToneDesign& to,
                               double share) noexcept {
    const auto along = [share](double a, double b) { return a + share * (b - a); };
    ToneDesign design;
    for (std::size_t s = 0; s < kSectionCount; ++s) {
        const ToneSection& a = from.sections[s];
        const ToneSection& b = to.sections[s];
        design.sections[s] = {along(a.g, b.g), along(a.k, b.k), along(a.mix, b.mix),
                              along(a.zero, b.zero)};
    }
    design.inputGain = along(from.inputGain, to.inputGain);
    return design;
}

bool ToneDesign::passesUnchanged() const noexcept {
    return inputGain == 1.0 &&
           std::all_of(sections.begin(), sections.end(),
                       [](const ToneSection& section) { return section.passesUnchanged(); });
}

double ToneDesign::responseDb(double hz, std::uint32_t rate) const noexcept {
    return 10.0 * std::log10(cascadePowerGain(sections, warped(hz, rate)));
}

} // namespace calmfield::engine
