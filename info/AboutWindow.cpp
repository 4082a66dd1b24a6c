#include "info/AboutWindow.h"

#include "info/ProductAddresses.h"
#include "resources/EmbeddedPictures.h"
#include "widgets/ClientArea.h"
#include "widgets/Twips.h"

#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

#include <utility>

namespace calmfield::info {
namespace {

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

// White text straight on the background picture.
QLabel* label(const QString& caption, const QRect& place, QWidget* container) {
    auto* shown = new QLabel(caption, container);
    shown->setGeometry(place);
    shown->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    shown->setWordWrap(true);
    QPalette colours = shown->palette();
    colours.setColor(QPalette::WindowText, Qt::white);
    shown->setPalette(colours);
    return shown;
}

} // namespace

AboutWindow::AboutWindow(platform::UrlOpener openAddress, QWidget* parent)
    : widgets::InformationWindow(QStringLiteral("Calmfield v2.0"),
                                 {widgets::pixels(4095), widgets::pixels(4440)}, parent),
      openAddress_(std::move(openAddress)) {
    const QRect logoBox = widgets::twipsRect(120, 120, 3855, 2415);
    client_ = new widgets::ClientArea(
        shadedBelow(QPixmap(QString::fromLatin1(resources::kBackgroundPicture)),
                    logoBox.bottom() + 1),
        this);
    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(client_);
    buildControls(logoBox);
    connect(Command1, &QPushButton::clicked, this, &AboutWindow::takeMeThereClicked);
}

// Controls are created from the bottom of the stack up: "Take me there!" covers the lower part
// of the address line.
void AboutWindow::buildControls(const QRect& logoBox) {
    Picture1 = new QLabel(client_);
    Picture1->setGeometry(logoBox);
    Picture1->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setAutoFillBackground(true);
    Picture1->setFocusPolicy(Qt::StrongFocus);
    Picture1->setPixmap(QPixmap(QString::fromLatin1(resources::kAboutLogo)));

    Label1 =
        label(QStringLiteral("Calmfield v2.0"), widgets::twipsRect(120, 2640, 2535, 375), client_);
    QFont title = Label1->font();
    title.setPointSizeF(kTitlePointSize);
    title.setBold(true);
    Label1->setFont(title);
    Label4 = label(QStringLiteral("Designed and Programmed by:"),
                   widgets::twipsRect(120, 2880, 2895, 255), client_);
    Label5 = label(QStringLiteral("the Calmfield developers"),
                   widgets::twipsRect(120, 3120, 3615, 255), client_);
    Label2 = label(QStringLiteral("Calmfield is free to use. \u00A9 the Calmfield developers."),
                   widgets::twipsRect(120, 3360, 3855, 495), client_);
    Label3 = label(addressText(withoutScheme(kHomePage)), widgets::twipsRect(120, 3600, 3855, 495),
                   client_);

    Command1 = new QPushButton(QStringLiteral("Take me there!"), client_);
    Command1->setGeometry(widgets::twipsRect(120, 3960, 3855, 375));

    const std::pair<QWidget*, const char*> names[] = {
        {Picture1, "Picture1"}, {Label1, "Label1"}, {Label4, "Label4"},    {Label5, "Label5"},
        {Label2, "Label2"},     {Label3, "Label3"}, {Command1, "Command1"}};
    for (const auto& [control, name] : names)
        control->setObjectName(QLatin1String(name));

    setTabOrder(Picture1, Command1);
    Picture1->setFocus();
}

// Whether a browser came up is not examined: the window stays as it is either way.
void AboutWindow::takeMeThereClicked() {
    if (openAddress_)
        static_cast<void>(openAddress_(QUrl(addressText(kHomePage))));
}

} // namespace calmfield::info
