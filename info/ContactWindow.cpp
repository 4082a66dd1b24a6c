#include "info/ContactWindow.h"

#include "info/ProductAddresses.h"
#include "widgets/LayoutTable.h"
#include "widgets/Twips.h"

namespace calmfield::info {
namespace {

using enum widgets::ControlKind;
using widgets::ControlRow;

constexpr char kInvitationText[] = "If you have a problem, query or a suggestion about this "
                                   "product, please contact us at the address below.";

// The layout table; the support address is filled in when the window is made.
constexpr ControlRow kInvitation{"Label1", Label, kInvitationText, 120, 120, 4455, 495};
constexpr ControlRow kSupportAddress{"Label2", Label, "", 120, 600, 4455, 375};

const QColor kNoteYellow(255, 255, 192);

// Centred, wrapped text on light yellow inside a thin line.
QLabel* placeNote(const ControlRow& row, QWidget* container) {
    auto* shown = widgets::placeControl<QLabel>(row, container);
    shown->setFrameStyle(QFrame::Box | QFrame::Plain);
    shown->setLineWidth(1);
    shown->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    shown->setWordWrap(true);
    shown->setAutoFillBackground(true);
    QPalette colours = shown->palette();
    colours.setColor(QPalette::Window, kNoteYellow);
    shown->setPalette(colours);
    return shown;
}

} // namespace

ContactWindow::ContactWindow(QWidget* parent)
    : widgets::InformationWindow(QStringLiteral("Contact Us"),
                                 {widgets::pixels(4680), widgets::pixels(1140)}, parent) {
    setObjectName(QStringLiteral("Form4"));
    placeNote(kInvitation, this);
    QLabel* supportAddress = placeNote(kSupportAddress, this);
    supportAddress->setText(addressText(kSupportMailAddress));
}

} // namespace calmfield::info
