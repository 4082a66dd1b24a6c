#include "widgets/WindowKeys.h"

#include <QShortcut>
#include <QWidget>

namespace calmfield::widgets {

void closeOnEscape(QWidget& window) {
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    escape->setContext(Qt::WindowShortcut);
    QObject::connect(escape, &QShortcut::activated, &window, &QWidget::close);
}

} // namespace calmfield::widgets
