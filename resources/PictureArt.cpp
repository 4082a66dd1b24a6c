#include "resources/PictureArt.h"
#include "files/ProgramTitle.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace calmfield::resources {
namespace {

// Uniform numbers from the generator's raw bits, so pictures do not depend on how a standard
// library implements its distributions.
class Random {
  public:
    explicit Random(std::uint32_t seed) : generator_(seed) {}
    double signedUnit() { return static_cast<double>(generator_() >> 8) * 0x1.0p-23 - 1.0; }

  private:
    std::mt19937 generator_;
};

// A width x height field, row by row.
struct Field {
    int width;
    int height;
    std::vector<double> values;
    double at(int x, int y) const { return values[static_cast<std::size_t>(y * width + x)]; }
};

std::array<double, 4> catmullRomWeights(double f) {
    const double f2 = f * f;
    const double f3 = f2 * f;
    return {(-f3 + 2 * f2 - f) / 2, (3 * f3 - 5 * f2 + 2) / 2, (-3 * f3 + 4 * f2 + f) / 2,
            (f3 - f2) / 2};
}

// Random values on a grid of `cell` pixels, enlarged smoothly to the full size.
Field smoothNoise(int width, int height, double cell, Random& random) {
    const int gridWidth = static_cast<int>(std::ceil(width / cell)) + 4;
    const int gridHeight = static_cast<int>(std::ceil(height / cell)) + 4;
    std::vector<double> grid(static_cast<std::size_t>(gridWidth * gridHeight));
    for (auto& value : grid)
        value = random.signedUnit();

    Field field{width, height, std::vector<double>(static_cast<std::size_t>(width * height))};
    for (int y = 0; y < height; ++y) {
        const double gy = y / cell + 1.0;
        const int row = static_cast<int>(gy);
        const auto wy = catmullRomWeights(gy - row);
        for (int x = 0; x < width; ++x) {
            const double gx = x / cell + 1.0;
            const int column = static_cast<int>(gx);
            const auto wx = catmullRomWeights(gx - column);
            double sum = 0.0;
            for (int j = 0; j < 4; ++j) {
                const double* gridRow =
                    grid.data() + static_cast<std::size_t>((row - 1 + j) * gridWidth + column - 1);
                sum += wy[static_cast<std::size_t>(j)] * (wx[0] * gridRow[0] + wx[1] * gridRow[1] +
                                                          wx[2] * gridRow[2] + wx[3] * gridRow[3]);
            }
            field.values[static_cast<std::size_t>(y * width + x)] = sum;
        }
    }
    return field;
}

// Shifts and scales the field to a mean of 0 and a standard deviation of 1.
void standardise(Field& field) {
    const double count = static_cast<double>(field.values.size());
    double mean = 0.0;
    for (double value : field.values)
        mean += value;
    mean /= count;
    double power = 0.0;
    for (double value : field.values)
        power += (value - mean) * (value - mean);
    const double deviation = std::sqrt(power / count);
    for (auto& value : field.values)
        value = deviation > 0.0 ? (value - mean) / deviation : 0.0;
}

int channelValue(double value) {
    return std::clamp(static_cast<int>(std::lround(value)), 0, 255);
}

QRgb mix(const QColor& from, const QColor& to, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return qRgb(channelValue(from.red() + (to.red() - from.red()) * t),
                channelValue(from.green() + (to.green() - from.green()) * t),
                channelValue(from.blue() + (to.blue() - from.blue()) * t));
}

QRgb brighten(QRgb pixel, double amount) {
    return qRgb(channelValue(qRed(pixel) + amount), channelValue(qGreen(pixel) + amount),
                channelValue(qBlue(pixel) + amount));
}

QRgb* row(QImage& image, int y) {
    return reinterpret_cast<QRgb*>(image.scanLine(y));
}

bool textCanBeDrawn() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr &&
           !QFontDatabase::families().isEmpty();
}

} // namespace

QImage noiseTexture(QSize size, Tones tones, double grainSlopeDbPerOctave, std::uint32_t seed) {
    const int width = size.width();
    const int height = size.height();
    Random random(seed);
    Field texture{width, height, std::vector<double>(static_cast<std::size_t>(width * height))};
    double cell = 96.0;
    for (int octave = 0; cell >= 1.0; ++octave, cell /= 2.0) {
        const double amplitude = std::pow(2.0, octave * grainSlopeDbPerOctave / 6.0);
        const Field layer = smoothNoise(width, height, cell, random);
        for (std::size_t i = 0; i < texture.values.size(); ++i)
            texture.values[i] += amplitude * layer.values[i];
    }
    standardise(texture);
    // Fine grain looks busier than broad clouds of the same contrast, so it is laid on fainter.
    const double contrast = 0.17 / (1.0 + std::max(0.0, grainSlopeDbPerOctave) / 6.0);

    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        QRgb* pixels = row(image, y);
        for (int x = 0; x < width; ++x) {
            // Lighter towards the top left, with the texture laid over.
            const double diagonal = 0.5 * (double(x) / width + double(y) / height);
            pixels[x] =
                mix(tones.deep, tones.light, 0.62 - 0.3 * diagonal + contrast * texture.at(x, y));
        }
    }
    return image;
}

QImage backgroundWash(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        QLinearGradient gradient(0, 0, size.width(), size.height());
        gradient.setColorAt(0.0, QColor(0xc8, 0x8a, 0x58));
        gradient.setColorAt(0.45, QColor(0x96, 0x58, 0x30));
        gradient.setColorAt(1.0, QColor(0x3a, 0x1f, 0x12));
        painter.fillRect(image.rect(), gradient);
    }
    // Faint clouds and grain keep the wide gradient from banding.
    Random random(0x0ba5e);
    Field clouds = smoothNoise(size.width(), size.height(), 160.0, random);
    standardise(clouds);
    for (int y = 0; y < size.height(); ++y) {
        QRgb* pixels = row(image, y);
        for (int x = 0; x < size.width(); ++x)
            pixels[x] = brighten(pixels[x], 4.0 * clouds.at(x, y) + 1.5 * random.signedUnit());
    }
    return image;
}

QImage brushedButtonFace(QSize size, std::uint32_t seed) {
    const int width = size.width();
    const int height = size.height();
    Random random(seed);
    // Streaks: long horizontal cells, a fresh pattern every row.
    Field streaks = smoothNoise(width, height, 1.0, random);
    for (int y = 0; y < height; ++y) {
        Random rowRandom(seed * 7919u + static_cast<std::uint32_t>(y));
        const Field line = smoothNoise(width, 1, 24.0, rowRandom);
        const double rowShade = rowRandom.signedUnit();
        for (int x = 0; x < width; ++x) {
            auto& value = streaks.values[static_cast<std::size_t>(y * width + x)];
            value = 0.35 * value + 0.8 * line.at(x, 0) + 0.9 * rowShade;
        }
    }
    standardise(streaks);

    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        QRgb* pixels = row(image, y);
        const double shade = 218.0 - 22.0 * y / std::max(1, height - 1);
        for (int x = 0; x < width; ++x) {
            double value = shade + 5.0 * streaks.at(x, y);
            if (y == 0 || x == 0)
                value += 28.0;
            else if (y == height - 1 || x == width - 1)
                value -= 60.0;
            const int grey = channelValue(value);
            pixels[x] = qRgb(grey, grey, channelValue(value + 3.0));
        }
    }
    return image;
}

QImage aboutLogo(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // The ripples and the word are laid out in the part the about window shows; the wash goes
    // on beyond it.
    const QRectF shown(QPointF(0, 0), size.boundedTo(kAboutLogoShownSize));
    const double height = shown.height();
    const QPointF centre(shown.center().x(), height * 0.34);
    QRadialGradient wash(centre, std::max(shown.width(), height) * 0.8);
    wash.setColorAt(0.0, QColor(0xfb, 0xf3, 0xe8));
    wash.setColorAt(1.0, QColor(0xe0, 0xb8, 0x90));
    painter.fillRect(image.rect(), wash);

    // Ripples spreading from the centre, fading as they widen; the widest clears the top edge and
    // stays above the word.
    const int ripples = 6;
    const double widening = 1.6; // the ripples spread wider than high, as on water seen aslant
    for (int i = 0; i < ripples; ++i) {
        const double radius = height * (0.045 + 0.05 * i);
        const int alpha = 210 - 30 * i;
        painter.setPen(QPen(QColor(0xa0, 0x58, 0x2c, alpha), height * (0.03 - 0.003 * i)));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, radius * widening, radius);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x8a, 0x45, 0x20));
    painter.drawEllipse(centre, height * 0.03 * widening, height * 0.03);

    if (textCanBeDrawn()) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setBold(true);
        font.setPixelSize(static_cast<int>(height * 0.2));
        const QString word = QString::fromLatin1(files::kProgramTitle);
        // Shrink the word until it fits with a margin.
        while (font.pixelSize() > 8 &&
               QFontMetricsF(font).horizontalAdvance(word) > shown.width() * 0.88)
            font.setPixelSize(font.pixelSize() - 1);
        painter.setFont(font);
        const QRectF band(0, height * 0.68, shown.width(), height * 0.28);
        painter.setPen(QColor(0xff, 0xf8, 0xf0, 160));
        painter.drawText(band.translated(1, 1), Qt::AlignCenter, word);
        painter.setPen(QColor(0x4a, 0x26, 0x12));
        painter.drawText(band, Qt::AlignCenter, word);
    }
    return image;
}

QImage iconPicture(int size) {
    const double s = size;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF square(0.5, 0.5, s - 1.0, s - 1.0);
    QLinearGradient fill(0, 0, 0, s);
    fill.setColorAt(0.0, QColor(0xd4, 0x8a, 0x4e));
    fill.setColorAt(1.0, QColor(0x70, 0x38, 0x18));
    painter.setPen(QPen(QColor(0x4a, 0x24, 0x10), std::max(1.0, s / 32.0)));
    painter.setBrush(fill);
    painter.drawRoundedRect(square, s * 0.22, s * 0.22);

    // One full period of a sine wave across the middle. A stroke of whole pixels, crests on whole
    // pixels and a middle line on the pixel grid keep the wave sharp at the smallest sizes.
    const double stroke = std::max(2.0, std::round(s / 9.0));
    const double middle = std::floor(s * 0.5) + (int(stroke) % 2 == 1 ? 0.5 : 0.0);
    const double amplitude = std::round(s * 0.17);
    QPainterPath wave;
    const double left = s * 0.16;
    const double span = s * 0.68;
    const int steps = 48;
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        const QPointF point(left + span * t,
                            middle - amplitude * std::sin(2 * std::numbers::pi * t));
        if (i == 0)
            wave.moveTo(point);
        else
            wave.lineTo(point);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(
        QPen(QColor(0xff, 0xf6, 0xea), stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(wave);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace calmfield::resources
