#include "shell/Slider.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStyleOptionSlider>

namespace calmfield::shell {

Slider::Slider(const Range& range, QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
    setRange(range.minimum, range.maximum);
    setSingleStep(range.smallChange);
    setPageStep(range.largeChange);
    setValue(range.value);
    setTracking(false);
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
}

void Slider::paintEvent(QPaintEvent* event) {
    QScrollBar::paintEvent(event);
    if (!hasFocus())
        return;
    QStyleOptionSlider slider;
    initStyleOption(&slider);
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect =
        style()
            ->subControlRect(QStyle::CC_ScrollBar, &slider, QStyle::SC_ScrollBarSlider, this)
            .adjusted(2, 2, -2, -2);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}

void Slider::keyPressEvent(QKeyEvent* event) {
    SliderAction action = SliderNoAction;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        action = SliderSingleStepSub;
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        action = SliderSingleStepAdd;
        break;
    case Qt::Key_PageUp:
        action = SliderPageStepSub;
        break;
    case Qt::Key_PageDown:
        action = SliderPageStepAdd;
        break;
    case Qt::Key_Home:
        action = SliderToMinimum;
        break;
    case Qt::Key_End:
        action = SliderToMaximum;
        break;
    default:
        QScrollBar::keyPressEvent(event);
        return;
    }
    triggerAction(action);
    event->accept();
}

} // namespace calmfield::shell
