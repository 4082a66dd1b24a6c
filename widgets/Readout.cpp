#include "widgets/Readout.h"

#include <QColor>
#include <QPalette>

namespace calmfield::widgets {
namespace {

const QColor kReadoutBackground(0, 0, 0);
const QColor kReadoutText(255, 128, 0);
// The digits stand clear of the box's left edge; five of them still fit before the main window's
// "hz".
constexpr int kReadoutInset = 2;

} // namespace

QLabel* placeReadout(const ControlRow& row, QWidget* container) {
    auto* text = placeControl<QLabel>(row, container);
    text->setAutoFillBackground(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    text->setContentsMargins(kReadoutInset, 0, 0, 0);
    QPalette colours = text->palette();
    colours.setColor(QPalette::Window, kReadoutBackground);
    colours.setColor(QPalette::WindowText, kReadoutText);
    text->setPalette(colours);
    return text;
}

} // namespace calmfield::widgets
