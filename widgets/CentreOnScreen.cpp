#include "widgets/CentreOnScreen.h"

#include <QScreen>
#include <QWidget>

namespace calmfield::widgets {

void centreOnScreen(QWidget& window) {
    const QScreen* display = window.screen();
    if (display == nullptr)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(display->availableGeometry().center());
    window.move(frame.topLeft());
}

} // namespace calmfield::widgets
