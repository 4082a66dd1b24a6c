#include "widgets/InformationWindow.h"

#include "resources/EmbeddedPictures.h"
#include "widgets/Accessibility.h"
#include "widgets/CentreOnScreen.h"
#include "widgets/WindowKeys.h"

#include <QShowEvent>

namespace calmfield::widgets {

InformationWindow::InformationWindow(const QString& caption, QSize clientSize, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setWindowTitle(caption);
    setWindowIcon(resources::programIcon());
    resize(clientSize);
    exposeAsDialog(*this);
    closeOnEscape(*this);
}

// The window system's own show events (a window coming back from its taskbar button) keep the
// place the user gave the window; showing it from the program centres it again.
void InformationWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        centreOnScreen(*this);
    QWidget::showEvent(event);
}

} // namespace calmfield::widgets
