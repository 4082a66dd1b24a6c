#include "widgets/RadioButton.h"

#include "widgets/FocusRing.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace calmfield::widgets {

RadioButton::RadioButton(const QString& caption, QWidget* parent) : QRadioButton(caption, parent) {}

// The ring takes the place of the style's dotted focus line, as on the check boxes.
void RadioButton::paintEvent(QPaintEvent*) {
    QStyleOptionButton option;
    initStyleOption(&option);
    option.state &= ~QStyle::State_HasFocus;
    QStylePainter painter(this);
    painter.drawControl(QStyle::CE_RadioButton, option);
    if (hasFocus())
        drawFocusRing(painter, rect(), palette().color(backgroundRole()));
}

} // namespace calmfield::widgets
