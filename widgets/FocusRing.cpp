#include "widgets/FocusRing.h"

#include <QImage>
#include <QPainter>

#include <cmath>

namespace calmfield::widgets {
namespace {

// The relative luminance of an sRGB colour, 0 for black to 1 for white.
double luminance(const QColor& colour) {
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

} // namespace

QColor focusRingColour(const QColor& beneath) {
    // Black and white stand out equally from a colour of this luminance.
    const double evenPoint = std::sqrt(1.05 * 0.05) - 0.05;
    return luminance(beneath) > evenPoint ? QColor(Qt::black) : QColor(Qt::white);
}

void drawFocusRing(QPainter& painter, const QRect& place, const QColor& beneath) {
    const QColor ring = focusRingColour(beneath);
    const int w = kFocusRingWidth;
    painter.fillRect(place.x(), place.y(), place.width(), w, ring);
    painter.fillRect(place.x(), place.bottom() - w + 1, place.width(), w, ring);
    painter.fillRect(place.x(), place.y() + w, w, place.height() - 2 * w, ring);
    painter.fillRect(place.right() - w + 1, place.y() + w, w, place.height() - 2 * w, ring);
}

QColor meanColour(const QImage& picture, const QRect& place) {
    const QRect inside = place.intersected(picture.rect());
    if (inside.isEmpty())
        return Qt::gray;
    double red = 0, green = 0, blue = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            red += pixel.redF();
            green += pixel.greenF();
            blue += pixel.blueF();
        }
    }
    const double count = double(inside.width()) * inside.height();
    return QColor::fromRgbF(float(red / count), float(green / count), float(blue / count));
}

} // namespace calmfield::widgets
