#include "widgets/CheckBox.h"

#include "widgets/FocusRing.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace calmfield::widgets {
namespace {

int valueOfState(int state) {
    switch (static_cast<Qt::CheckState>(state)) {
    case Qt::Checked:
        return CheckBox::kOn;
    case Qt::PartiallyChecked:
        return CheckBox::kGreyed;
    case Qt::Unchecked:
        break;
    }
    return CheckBox::kOff;
}

} // namespace

CheckBox::CheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {
    setTristate(true);
    connect(this, &QCheckBox::stateChanged, this,
            [this](int state) { emit valueChanged(valueOfState(state)); });
}

int CheckBox::value() const {
    return valueOfState(checkState());
}

bool CheckBox::setValue(int value) {
    switch (value) {
    case kOff:
        setCheckState(Qt::Unchecked);
        return true;
    case kOn:
        setCheckState(Qt::Checked);
        return true;
    case kGreyed:
        setCheckState(Qt::PartiallyChecked);
        return true;
    default:
        return false;
    }
}

void CheckBox::nextCheckState() {
    setValue(value() == kOn ? kOff : kOn);
}

// The style's own dotted focus line gives way to the ring, which stands out from the face the box
// lies on.
void CheckBox::paintEvent(QPaintEvent*) {
    QStyleOptionButton option;
    initStyleOption(&option);
    option.state &= ~QStyle::State_HasFocus;
    QStylePainter painter(this);
    painter.drawControl(QStyle::CE_CheckBox, option);
    if (hasFocus())
        drawFocusRing(painter, rect(), palette().color(backgroundRole()));
}

} // namespace calmfield::widgets
