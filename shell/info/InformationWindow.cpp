#include "shell/info/InformationWindow.h"

#include "resources/EmbeddedPictures.h"

#include <QScreen>
#include <QShowEvent>

namespace calmfield::shell {

InformationWindow::InformationWindow(const QString& caption, QSize clientSize, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setWindowTitle(caption);
    setWindowIcon(resources::programIcon());
    resize(clientSize);
}

// The window system's own show events (a window coming back from its taskbar button) keep the
// place the user gave the window; showing it from the program centres it again.
void InformationWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        centreOnScreen();
    QWidget::showEvent(event);
}

void InformationWindow::centreOnScreen() {
    const QScreen* display = screen();
    if (display == nullptr)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(display->availableGeometry().center());
    move(frame.topLeft());
}

} // namespace calmfield::shell
