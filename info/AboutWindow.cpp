#include "info/AboutWindow.h"

#include "info/ProductAddresses.h"
#include "resources/EmbeddedPictures.h"
#include "widgets/ClientArea.h"
#include "widgets/LayoutTable.h"
#include "widgets/Twips.h"

#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

#include <utility>

namespace calmfield::info {
namespace {

using enum widgets::ControlKind;
using widgets::ControlRow;

constexpr double kTitlePointSize = 9.75;

// The wash is deepened below the logo for the white text on it. The shade fades in behind the
// logo's box, so that it has no edge beside the box.
const QColor kTextShade(0x2a, 0x12, 0x06, 78);
constexpr int kTextShadeFadeRows = 24;

QPixmap shadedBelow(QPixmap wash, int firstFullRow) {
    QPainter painter(&wash);
    const int top = firstFullRow - kTextShadeFadeRows;
    QLinearGradient shade(0, top, 0, firstFullRow);
    shade.setColorAt(0.0, Qt::transparent);
    shade.setColorAt(1.0, kTextShade);
    painter.fillRect(QRect(0, top, wash.width(), wash.height() - top), shade);
    return wash;
}

// The layout table, in the order the controls are made: "Take me there!" covers the lower part
// of the address line. The notice and the address are filled in when the window is made.
constexpr ControlRow kLogo{"Picture1", Picture, "", 120, 120, 3855, 2415};
constexpr ControlRow kProductName{"Label1", Label, "Calmfield v2.0", 120, 2640, 2535, 375};
constexpr ControlRow kCredits{"Label4", Label, "Designed and Programmed by:", 120, 2880, 2895, 255};
constexpr ControlRow kAuthors{"Label5", Label, "the Calmfield developers", 120, 3120, 3615, 255};
constexpr ControlRow kNotice{"Label2", Label, "", 120, 3360, 3855, 495};
constexpr ControlRow kHomePageAddress{"Label3", Label, "", 120, 3600, 3855, 495};
constexpr ControlRow kTakeMeThere{"Command1", PushButton, "Take me there!", 120, 3960, 3855, 375};

// White wrapped text straight on the background picture.
QLabel* placeText(const ControlRow& row, QWidget* container) {
    auto* shown = widgets::placeControl<QLabel>(row, container);
    shown->setWordWrap(true);
    QPalette colours = shown->palette();
    colours.setColor(QPalette::WindowText, Qt::white);
    shown->setPalette(colours);
    return shown;
}

} // namespace

AboutWindow::AboutWindow(desktop::UrlOpener openAddress, QWidget* parent)
    : widgets::InformationWindow(QStringLiteral("Calmfield v2.0"),
                                 {widgets::pixels(4095), widgets::pixels(4440)}, parent),
      openAddress_(std::move(openAddress)) {
    setObjectName(QStringLiteral("Form2"));
    const QRect logoBox = widgets::twipsRect(kLogo.left, kLogo.top, kLogo.width, kLogo.height);
    client_ = new widgets::ClientArea(
        shadedBelow(QPixmap(QString::fromLatin1(resources::kBackgroundPicture)),
                    logoBox.bottom() + 1),
        this);
    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(client_);
    buildControls();
}

void AboutWindow::buildControls() {
    auto* logo = widgets::placeControl<QLabel>(kLogo, client_);
    logo->setPixmap(QPixmap(QString::fromLatin1(resources::kAboutLogo)));
    logo->setAccessibleName(QStringLiteral("Calmfield logo"));

    QLabel* productName = placeText(kProductName, client_);
    QFont title = productName->font();
    title.setPointSizeF(kTitlePointSize);
    title.setBold(true);
    productName->setFont(title);
    placeText(kCredits, client_);
    placeText(kAuthors, client_);
    QLabel* notice = placeText(kNotice, client_);
    notice->setText(QStringLiteral("Calmfield is free to use. \u00A9 the Calmfield developers."));
    QLabel* homePageAddress = placeText(kHomePageAddress, client_);
    homePageAddress->setText(addressText(withoutScheme(kHomePage)));
    auto* takeMeThereButton = widgets::placeControl<QPushButton>(kTakeMeThere, client_);
    takeMeThereButton->setAccessibleDescription(QStringLiteral("Opens ") + addressText(kHomePage) +
                                                QStringLiteral(" in the browser"));

    connect(takeMeThereButton, &QPushButton::clicked, this, &AboutWindow::takeMeThereClicked);

    setTabOrder(logo, takeMeThereButton);
    logo->setFocus();
}

// Whether a browser came up is not examined: the window stays as it is either way.
void AboutWindow::takeMeThereClicked() {
    if (openAddress_)
        static_cast<void>(openAddress_(QUrl(addressText(kHomePage))));
}

} // namespace calmfield::info
