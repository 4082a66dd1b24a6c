#include "widgets/Frame.h"

#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace calmfield::widgets {

Frame::Frame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

QRect Frame::captionRect() const {
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    return style()
        ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this)
        .translated(kCaptionInset, 0);
}

// The style draws the frame with the room for its caption; the caption follows at its inset.
void Frame::paintEvent(QPaintEvent*) {
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    QStylePainter painter(this);
    const QString caption = option.text;
    option.subControls &= ~QStyle::SC_GroupBoxLabel;
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
    if (caption.isEmpty())
        return;
    painter.drawItemText(captionRect(),
                         Qt::TextShowMnemonic | Qt::AlignLeft | int(option.textAlignment),
                         option.palette, isEnabled(), caption, QPalette::WindowText);
}

} // namespace calmfield::widgets
