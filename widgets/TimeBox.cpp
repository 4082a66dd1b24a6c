#include "widgets/TimeBox.h"

#include "widgets/FocusRing.h"

#include <QPainter>

namespace calmfield::widgets {

TimeBox::TimeBox(QWidget* parent) : QTimeEdit(parent) {
    setDisplayFormat(QStringLiteral("HH:mm"));
    setKeyboardTracking(false);
    setWrapping(true);
}

// The text field lies inside the frame; the ring is drawn on the frame around it.
void TimeBox::paintEvent(QPaintEvent* event) {
    QTimeEdit::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    drawFocusRing(painter, rect(), palette().base().color());
}

} // namespace calmfield::widgets
