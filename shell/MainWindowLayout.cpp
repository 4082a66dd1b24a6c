// Builds the main window's controls: captions, places, ranges, starting values and tab order.

#include "resources/EmbeddedPictures.h"
#include "shell/MainWindow.h"
#include "widgets/ClientArea.h"
#include "widgets/FixedSizeWindowHints.h"
#include "widgets/Frame.h"
#include "widgets/Twips.h"

#include <QIcon>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>

namespace calmfield::shell {
namespace {

constexpr widgets::Slider::Range kVolumeRange{-3000, 0, 1, 800, 0};
constexpr widgets::Slider::Range kFrequencyRange{1000, 32767, 1, 8000, 32000};
constexpr widgets::Slider::Range kPanningRange{-3000, 3000, 1000, 2000, 0};
constexpr widgets::Slider::Range kMasterRange{0, 32750, 1500, 11000, 16000};

const QColor kReadoutBackground(0, 0, 0);
const QColor kReadoutText(255, 128, 0);
// The digits stand clear of the box's left edge; five of them still fit before the "hz".
constexpr int kReadoutInset = 2;

QPixmap picture(const char* resource) {
    return QPixmap(QString::fromLatin1(resource));
}

QGroupBox* frame(const char* name, const char* caption, const QRect& place, QWidget* container) {
    auto* box = new widgets::Frame(QString::fromLatin1(caption), container);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(place);
    box->setAutoFillBackground(true);
    return box;
}

// Check boxes lie on frames and show the frame's face around their captions.
widgets::CheckBox* checkBox(const char* name, const char* caption, const QRect& place,
                            QWidget* container) {
    auto* box = new widgets::CheckBox(QString::fromLatin1(caption), container);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(place);
    return box;
}

widgets::Slider* slider(const char* name, const widgets::Slider::Range& range, const QRect& place,
                        QWidget* container) {
    auto* bar = new widgets::Slider(range, container);
    bar->setObjectName(QLatin1String(name));
    bar->setGeometry(place);
    return bar;
}

QLabel* label(const char* name, const char* caption, const QRect& place, QWidget* container,
              bool opaque) {
    auto* text = new QLabel(QString::fromLatin1(caption), container);
    text->setObjectName(QLatin1String(name));
    text->setGeometry(place);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setAutoFillBackground(opaque);
    return text;
}

QLabel* readout(const char* name, const QRect& place, QWidget* container) {
    QLabel* text = label(name, "", place, container, true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    text->setContentsMargins(kReadoutInset, 0, 0, 0);
    QPalette colours = text->palette();
    colours.setColor(QPalette::Window, kReadoutBackground);
    colours.setColor(QPalette::WindowText, kReadoutText);
    text->setPalette(colours);
    return text;
}

} // namespace

void MainWindow::buildWindow() {
    setWindowTitle(QStringLiteral("Calmfieldv2.0"));
    // A fixed frame with a close box only, keeping the taskbar button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(resources::programIcon());
    new widgets::FixedSizeWindowHints(this);

    auto* client = new widgets::ClientArea(picture(":/pictures/background.jpg"), this);
    client->setFixedSize(widgets::pixels(8310), widgets::pixels(5040));
    setCentralWidget(client);
    buildMenus();
    buildControls(client);
    buildTimers();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();

    if (const QScreen* display = screen()) {
        const QRect available = display->availableGeometry();
        move(available.center() - QPoint(width() / 2, height() / 2));
    }
    setTabOrderAndFocus();
}

void MainWindow::buildMenus() {
    m = menuBar()->addMenu(QStringLiteral("Menu"));
    load = m->addAction(QStringLiteral("Load  Config"));
    save = m->addAction(QStringLiteral("Save Config"));
    buildSleepMenu();
    sep = m->addSeparator();
    exit = m->addAction(QStringLiteral("Exit"));

    help = menuBar()->addMenu(QStringLiteral("Help"));
    help2 = help->addAction(QStringLiteral("Help"));
    jhg = help->addAction(QStringLiteral("Contact Us"));
    sep2 = help->addSeparator();
    about = help->addAction(QStringLiteral("About"));
}

// Controls are created from the bottom of the stack up: a control created later lies above the
// ones it overlaps.
void MainWindow::buildControls(widgets::ClientArea* client) {
    Frame1 = frame("Frame1", "Sound Color", widgets::twipsRect(120, 120, 2295, 2295), client);
    Check1 = checkBox("Check1", "Brown Noise", widgets::twipsRect(360, 480, 1815, 255), client);
    Check2 = checkBox("Check2", "Pink Noise", widgets::twipsRect(360, 840, 1815, 255), client);
    Check3 = checkBox("Check3", "White Noise", widgets::twipsRect(360, 1200, 1455, 255), client);
    Check4 = checkBox("Check4", "Blue Noise", widgets::twipsRect(360, 1560, 1815, 255), client);
    Check5 = checkBox("Check5", "Purple Noise", widgets::twipsRect(360, 1920, 1695, 255), client);

    Frame2 = frame("Frame2", "Volumes", widgets::twipsRect(2520, 120, 2295, 2295), client);
    HScroll3 = slider("HScroll3", kVolumeRange, widgets::twipsRect(240, 360, 1815, 255), Frame2);
    HScroll4 = slider("HScroll4", kVolumeRange, widgets::twipsRect(240, 720, 1815, 255), Frame2);
    HScroll5 = slider("HScroll5", kVolumeRange, widgets::twipsRect(240, 1080, 1815, 255), Frame2);
    HScroll6 = slider("HScroll6", kVolumeRange, widgets::twipsRect(240, 1440, 1815, 255), Frame2);
    HScroll7 = slider("HScroll7", kVolumeRange, widgets::twipsRect(240, 1800, 1815, 255), Frame2);

    Frame3 = frame("Frame3", "Frequency", widgets::twipsRect(4920, 120, 3255, 2295), client);
    HScroll8 = slider("HScroll8", kFrequencyRange, widgets::twipsRect(240, 360, 1815, 255), Frame3);
    HScroll9 = slider("HScroll9", kFrequencyRange, widgets::twipsRect(240, 720, 1815, 255), Frame3);
    HScroll10 =
        slider("HScroll10", kFrequencyRange, widgets::twipsRect(240, 1080, 1815, 255), Frame3);
    HScroll11 =
        slider("HScroll11", kFrequencyRange, widgets::twipsRect(240, 1440, 1815, 255), Frame3);
    HScroll12 =
        slider("HScroll12", kFrequencyRange, widgets::twipsRect(240, 1800, 1815, 255), Frame3);
    Label1 = readout("Label1", widgets::twipsRect(2280, 360, 495, 255), Frame3);
    Label2 = readout("Label2", widgets::twipsRect(2280, 720, 495, 255), Frame3);
    Label3 = readout("Label3", widgets::twipsRect(2280, 1080, 495, 255), Frame3);
    Label6 = readout("Label6", widgets::twipsRect(2280, 1440, 495, 255), Frame3);
    Label7 = readout("Label7", widgets::twipsRect(2280, 1800, 495, 255), Frame3);
    const char* const hz = "hz";
    Label8[0] = label("Label8(0)", hz, widgets::twipsRect(2760, 360, 375, 255), Frame3, false);
    Label8[4] = label("Label8(4)", hz, widgets::twipsRect(2760, 720, 375, 255), Frame3, false);
    Label8[3] = label("Label8(3)", hz, widgets::twipsRect(2760, 1080, 375, 255), Frame3, false);
    Label8[2] = label("Label8(2)", hz, widgets::twipsRect(2760, 1440, 375, 255), Frame3, false);
    Label8[1] = label("Label8(1)", hz, widgets::twipsRect(2760, 1800, 375, 255), Frame3, false);
    // Each "hz" overlaps the last column of the readout beside it: keep the text clear of it, and
    // on the line of the readout's digits.
    for (QLabel* unit : Label8) {
        unit->setContentsMargins(1, 0, 0, 0);
        unit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }

    Picture1 = new QLabel(client);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(widgets::twipsRect(120, 2520, 4695, 2055));
    Picture1->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setAutoFillBackground(true);
    Picture1->setFocusPolicy(Qt::StrongFocus);

    const QPixmap smallFace = picture(":/pictures/button_small.jpg");
    const QPixmap wideFace = picture(":/pictures/button_wide.jpg");

    Frame5 = frame("Frame5", "", widgets::twipsRect(4920, 3360, 3255, 1215), client);
    Command6 = widgets::graphicalButton("Command6", "Reset All", wideFace,
                                        widgets::twipsRect(240, 720, 2775, 255), Frame5);

    Frame4 = frame("Frame4", "Options", widgets::twipsRect(4920, 2520, 3255, 975), client);
    Check6 =
        checkBox("Check6", "Start in system tray", widgets::twipsRect(240, 480, 2775, 255), Frame4);

    Command3 = widgets::graphicalButton("Command3", "Record", smallFace,
                                        widgets::twipsRect(5160, 3720, 855, 255), client);
    Command4 = widgets::graphicalButton("Command4", "Mute", smallFace,
                                        widgets::twipsRect(6120, 3720, 855, 255), client);
    Command2 = widgets::graphicalButton("Command2", "Tray", smallFace,
                                        widgets::twipsRect(7080, 3720, 855, 255), client);
    Command1 = widgets::graphicalButton("Command1", "Close", smallFace,
                                        widgets::twipsRect(7320, 4680, 855, 255), client);

    Label4 = label("Label4", "Panning", widgets::twipsRect(240, 4680, 615, 195), client, false);
    HScroll1 = slider("HScroll1", kPanningRange, widgets::twipsRect(840, 4680, 1395, 255), client);
    Label5 = label("Label5", "Master Vol", widgets::twipsRect(2520, 4680, 750, 195), client, false);
    HScroll2 = slider("HScroll2", kMasterRange, widgets::twipsRect(3360, 4680, 1395, 255), client);
}

void MainWindow::setTabOrderAndFocus() {
    QWidget* const order[] = {HScroll1, HScroll2, Check1,    Check2,    Check3,    Check4,
                              Check5,   HScroll3, HScroll4,  HScroll5,  HScroll6,  HScroll7,
                              HScroll8, HScroll9, HScroll10, HScroll11, HScroll12, Picture1,
                              Command1, Command2, Command3,  Check6,    Command4,  Command6};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    HScroll1->setFocus();
}

void MainWindow::buildTimers() {
    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setInterval(50);
    Timer3->start();
    Timer5 = new QTimer(this);
    Timer5->setObjectName(QStringLiteral("Timer5"));
    Timer5->setInterval(500);
    Timer5->start();
}

} // namespace calmfield::shell
