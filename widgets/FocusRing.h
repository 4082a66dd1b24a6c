#pragma once

#include <QColor>
#include <QRect>

class QImage;
class QPainter;

namespace calmfield::widgets {

// Every control shows the keyboard focus as a solid ring this many pixels wide.
inline constexpr int kFocusRingWidth = 2;

// Black or white, whichever stands out more from `beneath`: never less than 4.5 to 1.
QColor focusRingColour(const QColor& beneath);

// Draws the focus ring along the inside edge of `place`, over what is drawn there in `beneath`.
void drawFocusRing(QPainter& painter, const QRect& place, const QColor& beneath);

// The mean colour of `place` in `picture`, the colour a ring drawn there has to stand out from.
QColor meanColour(const QImage& picture, const QRect& place);

} // namespace calmfield::widgets
