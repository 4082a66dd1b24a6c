// Builds the recorder window's controls: captions, places, colours, fonts and tab order.

#include "recorder/windows/RecorderWindow.h"
#include "resources/EmbeddedPictures.h"
#include "widgets/ClientArea.h"
#include "widgets/Twips.h"

#include <QLayout>
#include <QMenuBar>

namespace calmfield::recorder {
namespace {

using widgets::twipsRect;

const QColor kSilver(192, 192, 192);
const QColor kOrange(255, 128, 0);
const QColor kRed(255, 0, 0);

constexpr double kInformationPointSize = 8.25;
constexpr double kElapsedPointSize = 12;
constexpr double kModePointSize = 9.75;

QPixmap picture(const char* resource) {
    return QPixmap(QString::fromLatin1(resource));
}

void setColours(QWidget* control, QPalette::ColorRole backgroundRole, const QColor& background,
                QPalette::ColorRole textRole, const QColor& text) {
    QPalette colours = control->palette();
    colours.setColor(backgroundRole, background);
    colours.setColor(textRole, text);
    control->setPalette(colours);
}

QFont readoutFont(const QFont& base, const QString& family, double pointSize, bool bold) {
    QFont chosen = base;
    if (!family.isEmpty())
        chosen.setFamily(family);
    chosen.setPointSizeF(pointSize);
    chosen.setBold(bold);
    return chosen;
}

QGroupBox* frame(const char* name, const char* caption, const QRect& place, QWidget* container) {
    auto* box = new QGroupBox(QString::fromLatin1(caption), container);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(place);
    box->setAutoFillBackground(true);
    QPalette colours = box->palette();
    colours.setColor(QPalette::Window, kSilver);
    box->setPalette(colours);
    return box;
}

// Light text on black inside a thin line.
QLabel* readout(const char* name, const QRect& place, QWidget* container, const QColor& text,
                Qt::Alignment alignment) {
    auto* shown = new QLabel(container);
    shown->setObjectName(QLatin1String(name));
    shown->setGeometry(place);
    shown->setFrameStyle(QFrame::Box | QFrame::Plain);
    shown->setLineWidth(1);
    shown->setAlignment(alignment);
    shown->setAutoFillBackground(true);
    setColours(shown, QPalette::Window, Qt::black, QPalette::WindowText, text);
    return shown;
}

QLineEdit* textBox(const char* name, const QRect& place, QWidget* container) {
    auto* box = new QLineEdit(container);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(place);
    return box;
}

} // namespace

void RecorderWindow::buildWindow() {
    setWindowTitle(QStringLiteral("Sound Recorder"));
    // A fixed frame with a close box only; as a tool window it has no taskbar button.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(resources::programIcon());

    auto* client = new widgets::ClientArea(picture(resources::kBackgroundPicture), this);
    client->setFixedSize(widgets::pixels(5880), widgets::pixels(2535));
    QPalette colours = client->palette();
    colours.setColor(QPalette::Window, kSilver);
    client->setPalette(colours);
    setCentralWidget(client);
    buildMenus();
    buildControls(client);
    buildTimers();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    setTabOrder();
}

// The menu's title is switched off for good: the entries are reached by the program alone.
void RecorderWindow::buildMenus() {
    Quality = menuBar()->addMenu(QStringLiteral("Quality"));
    low = Quality->addAction(QStringLiteral("Low Quality"));
    med = Quality->addAction(QStringLiteral("Medium Quality"));
    high = Quality->addAction(QStringLiteral("High Quality"));
    for (QAction* entry : {low, med, high})
        entry->setCheckable(true);
    Quality->setEnabled(false);
    Quality->menuAction()->setEnabled(false);
}

// Controls are created from the bottom of the stack up: the buttons lie above the "Status" frame.
void RecorderWindow::buildControls(widgets::ClientArea* client) {
    Frame3 = frame("Frame3", "Information", widgets::twipsRect(120, 120, 2775, 2295), client);
    Label3 = readout("Label3", widgets::twipsRect(120, 240, 2535, 1935), Frame3, kOrange,
                     Qt::AlignLeft | Qt::AlignTop);
    Label3->setFont(
        readoutFont(Label3->font(), QStringLiteral("Arial"), kInformationPointSize, false));

    Frame2 = frame("Frame2", "Status", widgets::twipsRect(3000, 120, 2775, 2295), client);
    Text1 = textBox("Text1", widgets::twipsRect(120, 240, 2535, 375), Frame2);
    Text1->setReadOnly(true);
    Text1->setAlignment(Qt::AlignCenter);
    Text1->setFont(readoutFont(Text1->font(), QStringLiteral("Arial"), kElapsedPointSize, true));
    setColours(Text1, QPalette::Base, Qt::black, QPalette::Text, kSilver);
    Label1 = readout("Label1", widgets::twipsRect(120, 720, 2535, 375), Frame2, Qt::white,
                     Qt::AlignCenter);
    Label1->setFont(readoutFont(Label1->font(), QString(), kModePointSize, true));

    const QPixmap smallFace = picture(resources::kMediumButtonFace);
    const QPixmap wideFace = picture(resources::kWideButtonFace);
    Command5 = widgets::graphicalButton("Command5", "Save ", wideFace,
                                        widgets::twipsRect(120, 1560, 2535, 255), Frame2);
    Command2 = widgets::graphicalButton("Command2", "Record", smallFace,
                                        widgets::twipsRect(3120, 1320, 735, 255), client);
    QPalette red = Command2->palette();
    red.setColor(QPalette::Button, kRed);
    Command2->setPalette(red);
    Command3 = widgets::graphicalButton("Command3", "Stop", smallFace,
                                        widgets::twipsRect(3960, 1320, 855, 255), client);
    Command4 = widgets::graphicalButton("Command4", "Play", smallFace,
                                        widgets::twipsRect(4920, 1320, 735, 255), client);
    Command1 = widgets::graphicalButton("Command1", "Reset", wideFace,
                                        widgets::twipsRect(3120, 2040, 1695, 255), client);
    Command6 = widgets::graphicalButton("Command6", "Help", smallFace,
                                        widgets::twipsRect(4920, 2040, 735, 255), client);

    // Wholly outside the client area: it is never seen, but the focus can reach it.
    Text2 = textBox("Text2", widgets::twipsRect(-3960, 3000, 5535, 375), client);
}

void RecorderWindow::buildTimers() {
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(19);
    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
}

void RecorderWindow::setTabOrder() {
    QWidget* const order[] = {Command4, Command3, Command2, Text2,
                              Command5, Text1,    Command1, Command6};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace calmfield::recorder
