#include "widgets/PictureBox.h"

#include "widgets/FocusRing.h"

#include <QPainter>

namespace calmfield::widgets {

PictureBox::PictureBox(QWidget* parent) : QLabel(parent) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
}

// The ring stands out from what the picture shows along the border, or from the empty panel.
void PictureBox::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    const QRect ring = contentsRect();
    const QColor beneath =
        pixmap().isNull() ? palette().window().color() : meanColour(pixmap().toImage(), ring);
    QPainter painter(this);
    drawFocusRing(painter, ring, beneath);
}

} // namespace calmfield::widgets
