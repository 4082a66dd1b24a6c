#include "widgets/TextBox.h"

#include "widgets/FocusRing.h"

#include <QPainter>

namespace calmfield::widgets {

void TextBox::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    drawFocusRing(painter, rect(), palette().base().color());
}

} // namespace calmfield::widgets
