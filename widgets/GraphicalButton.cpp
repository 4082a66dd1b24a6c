#include "widgets/GraphicalButton.h"

#include "widgets/FocusRing.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

namespace calmfield::widgets {
namespace {

constexpr int kBorder = 2;

} // namespace

GraphicalButton::GraphicalButton(const QString& caption, const QPixmap& face, QWidget* parent)
    : PushButton(caption, parent), face_(face),
      faceColour_(face.isNull() ? palette().button().color()
                                : meanColour(face.toImage(), face.rect())) {}

void GraphicalButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // A checked button looks like any other: only assistive technology is told of the state.
    const bool sunken = isDown();
    const QPoint pressOffset = sunken ? QPoint(1, 1) : QPoint(0, 0);
    const QRect inside = rect().adjusted(kBorder, kBorder, -kBorder, -kBorder);

    painter.fillRect(rect(), palette().button());
    if (!face_.isNull()) {
        painter.save();
        painter.setClipRect(inside);
        const QPoint centred((width() - face_.width()) / 2, (height() - face_.height()) / 2);
        painter.drawPixmap(centred + pressOffset, face_);
        painter.restore();
    }
    qDrawWinButton(&painter, rect(), palette(), sunken);
    // The caption is drawn over the ring where the two meet, so that it stays whole.
    if (hasFocus())
        drawFocusRing(painter, inside, faceColour_);

    const QRect captionArea = inside.translated(pressOffset);
    style()->drawItemText(&painter, captionArea, Qt::AlignHCenter | Qt::AlignBottom, palette(),
                          isEnabled(), text(), QPalette::ButtonText);
}

} // namespace calmfield::widgets
