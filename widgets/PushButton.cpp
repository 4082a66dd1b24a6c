#include "widgets/PushButton.h"

#include "widgets/FocusRing.h"

#include <QKeyEvent>
#include <QPainter>

namespace calmfield::widgets {

PushButton::PushButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setAutoDefault(false);
}

void PushButton::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void PushButton::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    drawFocusRing(painter, rect(), palette().button().color());
}

} // namespace calmfield::widgets
