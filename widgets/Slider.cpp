#include "widgets/Slider.h"

#include "widgets/Accessibility.h"
#include "widgets/FocusRing.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QStyleOptionSlider>
#include <qdrawutil.h>

#include <algorithm>
#include <cmath>

namespace calmfield::widgets {

namespace {

const QColor kTrack(0x8a, 0x50, 0x2c); // the copper of the window's background
const QColor kFace(0xd6, 0xd6, 0xd4);  // the light brushed grey of the buttons
const QColor kArrow(0x3a, 0x24, 0x18);

QPalette sliderColours(QPalette colours) {
    colours.setColor(QPalette::Mid, kTrack);
    colours.setColor(QPalette::Button, kFace);
    colours.setColor(QPalette::ButtonText, kArrow);
    colours.setColor(QPalette::Disabled, QPalette::ButtonText, kFace.darker(150));
    return colours;
}

// The track lies sunken: a darker line along its top edge.
void drawTrack(QPainter& painter, const QRect& place, const QPalette& colours) {
    painter.fillRect(place, colours.mid());
    painter.fillRect(place.x(), place.y(), place.width(), 1, colours.mid().color().darker(140));
}

// A raised face like a button's, lighter at the top, or sunken while it is pressed.
void drawFace(QPainter& painter, const QRect& place, const QPalette& colours, bool sunken) {
    QLinearGradient shade(place.topLeft(), place.bottomLeft());
    shade.setColorAt(0.0, colours.button().color().lighter(106));
    shade.setColorAt(1.0, colours.button().color().darker(112));
    const QBrush face(shade);
    qDrawWinButton(&painter, place, colours, sunken, &face);
}

void drawArrowButton(QPainter& painter, const QRect& place, const QPalette& colours, bool pressed,
                     bool pointsLeft) {
    if (place.isEmpty())
        return;
    drawFace(painter, place, colours, pressed);
    const QPoint centre = place.center() + (pressed ? QPoint(1, 1) : QPoint(0, 0));
    const int reach = std::max(2, (place.height() - 6) / 2); // half the arrow's height
    const int depth = (reach + 1) / 2 + 1;
    const int tip = pointsLeft ? centre.x() - depth / 2 : centre.x() + depth / 2;
    const int base = pointsLeft ? tip + depth : tip - depth;
    const QPoint arrow[] = {
        {tip, centre.y()}, {base, centre.y() - reach}, {base, centre.y() + reach}};
    painter.setPen(Qt::NoPen);
    painter.setBrush(colours.buttonText());
    painter.drawPolygon(arrow, 3);
}

// Three raised ridges across the middle of the thumb, where a thumb is wide enough for them.
void drawGrip(QPainter& painter, const QRect& thumb, const QPalette& colours) {
    if (thumb.width() < 14 || thumb.height() < 10)
        return;
    const int top = thumb.top() + 4;
    const int height = thumb.height() - 8;
    for (int ridge = -1; ridge <= 1; ++ridge) {
        const int x = thumb.center().x() + 3 * ridge - 1;
        painter.fillRect(x, top, 1, height, colours.light());
        painter.fillRect(x + 1, top, 1, height, colours.dark());
    }
}

} // namespace

Slider::Slider(const Range& range, QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
    setRange(range);
    setTracking(false);
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
    setPalette(sliderColours(palette()));
    installAccessibleInterfaces();
}

void Slider::setRange(const Range& range) {
    setRange(range.minimum, range.maximum);
    setSingleStep(range.smallChange);
    setPageStep(range.largeChange);
    setValue(range.value);
}

double Slider::valueInUnits(int position) const {
    if (unitScale_.valueAt)
        return unitScale_.valueAt(position);
    return position / stepsPerUnit_;
}

int Slider::positionNearest(double value) const {
    const double position =
        std::round(unitScale_.positionOf ? unitScale_.positionOf(value) : value * stepsPerUnit_);
    if (std::isnan(position))
        return this->value();
    return static_cast<int>(std::clamp(position, double(minimum()), double(maximum())));
}

double Slider::smallestChangeInUnits() const {
    if (!unitScale_.valueAt)
        return singleStep() / stepsPerUnit_;
    return unitScale_.valueAt(minimum() + singleStep()) - unitScale_.valueAt(minimum());
}

void Slider::paintEvent(QPaintEvent*) {
    QStyleOptionSlider slider;
    initStyleOption(&slider);
    const auto place = [&](QStyle::SubControl part) {
        return style()->subControlRect(QStyle::CC_ScrollBar, &slider, part, this);
    };
    const auto pressed = [&](QStyle::SubControl part) {
        return (slider.activeSubControls & part) && (slider.state & QStyle::State_Sunken);
    };
    const QPalette& colours = slider.palette;
    QPainter painter(this);
    drawTrack(painter, rect(), colours);
    // Each arrow points towards the end of the bar it lies at, whichever way the text runs.
    for (const QStyle::SubControl arrow :
         {QStyle::SC_ScrollBarSubLine, QStyle::SC_ScrollBarAddLine}) {
        const QRect button = place(arrow);
        drawArrowButton(painter, button, colours, pressed(arrow),
                        button.center().x() < width() / 2);
    }
    const QRect thumb = place(QStyle::SC_ScrollBarSlider);
    if (thumb.isEmpty())
        return;
    drawFace(painter, thumb, colours, false);
    drawGrip(painter, thumb, colours);
    if (!hasFocus())
        return;
    drawFocusRing(painter, thumb.adjusted(2, 2, -2, -2), colours.button().color());
}

void Slider::keyPressEvent(QKeyEvent* event) {
    const bool control = event->modifiers().testFlag(Qt::ControlModifier) && controlStep_ > 0;
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
    if (control && action == SliderSingleStepSub)
        setValue(value() - controlStep_);
    else if (control && action == SliderSingleStepAdd)
        setValue(value() + controlStep_);
    else
        triggerAction(action);
    event->accept();
}

} // namespace calmfield::widgets
