#include "info/ContactWindow.h"

#include "info/ProductAddresses.h"
#include "widgets/Twips.h"

namespace calmfield::info {
namespace {

const QColor kNoteYellow(255, 255, 192);

// Centred, wrapped text on light yellow inside a thin line.
QLabel* note(const char* name, const QString& caption, const QRect& place, QWidget* container) {
    auto* shown = new QLabel(caption, container);
    shown->setObjectName(QLatin1String(name));
    shown->setGeometry(place);
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
    Label1 = note("Label1",
                  QStringLiteral("If you have a problem, query or a suggestion about this product, "
                                 "please contact us at the address below."),
                  widgets::twipsRect(120, 120, 4455, 495), this);
    Label2 = note("Label2", addressText(kSupportMailAddress),
                  widgets::twipsRect(120, 600, 4455, 375), this);
}

} // namespace calmfield::info
