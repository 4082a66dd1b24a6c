#include "widgets/ClientArea.h"

#include <QPainter>

namespace calmfield::widgets {

ClientArea::ClientArea(const QPixmap& background, QWidget* parent)
    : QWidget(parent), background_(background) {
    setAutoFillBackground(true);
}

void ClientArea::paintEvent(QPaintEvent*) {
    if (background_.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, background_);
}

} // namespace calmfield::widgets
