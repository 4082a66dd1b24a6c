#include "widgets/GraphicalButton.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

namespace calmfield::widgets {
namespace {

constexpr int kBorder = 2;

} // namespace

GraphicalButton::GraphicalButton(const QString& caption, const QPixmap& face, QWidget* parent)
    : QPushButton(caption, parent), face_(face) {
    setAutoDefault(false);
}

void GraphicalButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool sunken = isDown() || isChecked();
    const QPoint pressOffset = sunken ? QPoint(1, 1) : QPoint(0, 0);
    const QRect inside = rect().adjusted(kBorder, kBorder, -kBorder, -kBorder);

    painter.fillRect(rect(), palette().button());
    if (!face_.isNull()) {
        painter.save();
        painter.setClipRect(inside);
        const QPoint centred((width() - face_.width()) / 2, (height() - face_.height()) / 2);
        painter.drawPixmap(centred + pressOffset, face_);
        painter.restore();
    }
    qDrawWinButton(&painter, rect(), palette(), sunken);

    const QRect captionArea = inside.translated(pressOffset);
    style()->drawItemText(&painter, captionArea, Qt::AlignHCenter | Qt::AlignBottom, palette(),
                          isEnabled(), text(), QPalette::ButtonText);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = captionArea.adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

} // namespace calmfield::widgets
