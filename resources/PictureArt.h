#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

#include <cstdint>

namespace calmfield::resources {

// The two ends of a picture's colour range.
struct Tones {
    QColor deep;
    QColor light;
};

// A soft cloudy texture in the given tones. Its grain follows a spectral slope in dB per octave,
// like the noise colours: negative slopes give broad clouds, zero and above ever finer grain.
QImage noiseTexture(QSize size, Tones tones, double grainSlopeDbPerOctave, std::uint32_t seed);

// The copper-brown diagonal wash behind the main window: lighter copper at the top left, deep
// brown at the bottom right.
QImage backgroundWash(QSize size);

// A light grey brushed-metal button face with a thin bevel.
QImage brushedButtonFace(QSize size, std::uint32_t seed);

// How much of the logo the about window's picture box shows: its top-left part, inside the
// box's border.
inline constexpr QSize kAboutLogoShownSize(253, 157);

// The about window's logo: concentric ripples above the word "Calmfield", both within the part
// that is shown. Text needs a QGuiApplication; without usable fonts the ripples are drawn alone.
QImage aboutLogo(QSize size);

// The program icon: a light wave across a copper rounded square, transparent outside it.
QImage iconPicture(int size);

} // namespace calmfield::resources
