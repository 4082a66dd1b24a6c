// Builds the main window from its layout table: places, ranges, colours, menus and tab order.

#include "resources/EmbeddedPictures.h"
#include "shell/MainWindow.h"
#include "shell/MainWindowLayoutTable.h"
#include "widgets/ClientArea.h"
#include "widgets/FixedSizeWindowHints.h"
#include "widgets/Twips.h"

#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>

namespace calmfield::shell {
namespace {

using persistence::Mix;
using player::MixPlayer;
using widgets::placeControl;

constexpr widgets::Slider::Range kVolumeRange{Mix::kQuietest, Mix::kLoudest, 1, 800, 0};
constexpr widgets::Slider::Range kFrequencyRange{Mix::kLowestFrequency, Mix::kHighestFrequency, 1,
                                                 8000, Mix::kStartingFrequency};
constexpr widgets::Slider::Range kPanningRange{-MixPlayer::kWidestPanning,
                                               MixPlayer::kWidestPanning, 1000, 2000, 0};
constexpr widgets::Slider::Range kMasterRange{0, MixPlayer::kLoudestMaster, 1500, 11000,
                                              MixPlayer::kStartingMaster};

// What a slider tells assistive technology: its name with its unit, how many of its steps make one
// of that unit, and how far Ctrl with an arrow key moves it (none: as far as the plain key).
struct SliderMeaning {
    const char* name; // "%1" stands for the colour, as in "Brown"
    double stepsPerUnit;
    int controlStep;
};
constexpr SliderMeaning kVolumeMeaning{"%1 noise volume, decibels", 100, 100};
constexpr SliderMeaning kFrequencyMeaning{"%1 noise frequency, hertz", 1, 100};
// From -100, all to the left, to 100, all to the right.
constexpr SliderMeaning kPanningMeaning{"Panning", MixPlayer::kWidestPanning / 100.0, 0};
// The percentage of the speakers' full volume the position gives them.
constexpr SliderMeaning kMasterMeaning{"Master volume, percent", 65536 / (1.99 * 100), 0};

const QColor kReadoutBackground(0, 0, 0);
const QColor kReadoutText(255, 128, 0);
// The digits stand clear of the box's left edge; five of them still fit before the "hz".
constexpr int kReadoutInset = 2;

widgets::Slider* slider(const widgets::ControlRow& row, const widgets::Slider::Range& range,
                        const SliderMeaning& meaning, QWidget* container,
                        const QString& colour = {}) {
    auto* bar = placeControl<widgets::Slider>(row, container);
    bar->setRange(range);
    const QString name = QString::fromLatin1(meaning.name);
    bar->setAccessibleName(colour.isEmpty() ? name : name.arg(colour));
    bar->setStepsPerUnit(meaning.stepsPerUnit);
    bar->setControlStep(meaning.controlStep);
    return bar;
}

QLabel* readout(const widgets::ControlRow& row, QWidget* container) {
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

QAction* named(QAction* action, const layout::MenuRow& row) {
    action->setObjectName(QLatin1String(row.name));
    return action;
}

QMenu* menu(QMenuBar* bar, const layout::MenuRow& row) {
    QMenu* added = bar->addMenu(QString::fromLatin1(row.caption));
    added->setObjectName(QLatin1String(row.name));
    return added;
}

QAction* item(QMenu* owner, const layout::MenuRow& row) {
    return named(owner->addAction(QString::fromLatin1(row.caption)), row);
}

} // namespace

void MainWindow::buildWindow() {
    setObjectName(QLatin1String(layout::kWindowName));
    setWindowTitle(QString::fromLatin1(layout::kCaption));
    // A fixed frame with a close box only, keeping the taskbar button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(resources::programIcon());
    new widgets::FixedSizeWindowHints(this);

    auto* client =
        new widgets::ClientArea(QPixmap(QString::fromLatin1(resources::kBackgroundPicture)), this);
    client->setFixedSize(widgets::pixels(layout::kClientWidth),
                         widgets::pixels(layout::kClientHeight));
    setCentralWidget(client);
    buildMenus();
    buildControls(client);
    startInTrayTimer = new QTimer(this);
    startInTrayTimer->setObjectName(QLatin1String(layout::kStartInTrayTimerName));
    startInTrayTimer->setSingleShot(true);
    startInTrayTimer->setInterval(kStartInTrayDelay);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();

    if (const QScreen* display = screen()) {
        const QRect available = display->availableGeometry();
        move(available.center() - QPoint(width() / 2, height() / 2));
    }
    setTabOrderAndFocus();
}

void MainWindow::buildMenus() {
    mainMenu = menu(menuBar(), layout::kMainMenu);
    loadAction = item(mainMenu, layout::kLoadItem);
    saveAction = item(mainMenu, layout::kSaveItem);
    recentMixesMenu = new RecentMixesMenu(recentMixes_, mainMenu);
    mainMenu->addMenu(recentMixesMenu);
    sleepMenu = new SleepMenu(player_.sleepTimer(), mainMenu);
    sleepMenu->setObjectName(QStringLiteral("sleepMenu"));
    mainMenu->addMenu(sleepMenu);
    startAtLoginAction = item(mainMenu, layout::kStartAtLoginItem);
    startAtLoginAction->setCheckable(true);
    // Ticked until the run's own choice is shown in it.
    keepAwakeAction = item(mainMenu, layout::kKeepAwakeItem);
    keepAwakeAction->setCheckable(true);
    keepAwakeAction->setChecked(true);
    named(mainMenu->addSeparator(), layout::kExitSeparator);
    exitAction = item(mainMenu, layout::kExitItem);

    helpMenu = menu(menuBar(), layout::kHelpMenu);
    helpAction = item(helpMenu, layout::kHelpItem);
    contactAction = item(helpMenu, layout::kContactItem);
    named(helpMenu->addSeparator(), layout::kAboutSeparator);
    aboutAction = item(helpMenu, layout::kAboutItem);

    // The titles mark no letter: these keys open the menus without changing their look.
    const auto opens = [this](QKeySequence keys, QMenu* menu) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this,
                [this, menu] { menuBar()->setActiveAction(menu->menuAction()); });
    };
    opens(QKeySequence(Qt::ALT | Qt::Key_M), mainMenu);
    opens(QKeySequence(Qt::Key_F10), mainMenu);
    opens(QKeySequence(Qt::ALT | Qt::Key_H), helpMenu);
}

// Controls are made from the bottom of the stack up: a control made later lies above the ones it
// overlaps.
void MainWindow::buildControls(QWidget* client) {
    placeControl(layout::kColoursFrame, client);
    for (std::size_t colour = 0; colour < colourToggles.size(); ++colour)
        colourToggles[colour] =
            placeControl<widgets::CheckBox>(layout::kColourToggles[colour], client);

    QWidget* volumes = placeControl(layout::kVolumesFrame, client);
    for (std::size_t colour = 0; colour < volumeSliders.size(); ++colour) {
        volumeSliders[colour] = slider(layout::kVolumeSliders[colour], kVolumeRange, kVolumeMeaning,
                                       volumes, player::colourName(colour));
    }
    buildFrequencyFrame(placeControl(layout::kFrequencyFrame, client));

    colourPicture = placeControl<QLabel>(layout::kColourPicture, client);
    colourPicture->setAccessibleName(QStringLiteral("Colour picture: none"));
    QWidget* resetFrame = placeControl(layout::kResetFrame, client);
    resetAllButton = placeControl<widgets::GraphicalButton>(layout::kResetAllButton, resetFrame);
    QWidget* options = placeControl(layout::kOptionsFrame, client);
    startInTrayBox = placeControl<widgets::CheckBox>(layout::kStartInTrayBox, options);

    recordButton = placeControl<widgets::GraphicalButton>(layout::kRecordButton, client);
    muteButton = placeControl<widgets::GraphicalButton>(layout::kMuteButton, client);
    muteButton->setCheckable(true); // checked while muted
    trayButton = placeControl<widgets::GraphicalButton>(layout::kTrayButton, client);
    closeButton = placeControl<widgets::GraphicalButton>(layout::kCloseButton, client);
    auto* panningLabel = placeControl<QLabel>(layout::kPanningLabel, client);
    panningSlider = slider(layout::kPanningSlider, kPanningRange, kPanningMeaning, client);
    panningLabel->setBuddy(panningSlider);
    auto* masterVolumeLabel = placeControl<QLabel>(layout::kMasterVolumeLabel, client);
    masterVolumeSlider = slider(layout::kMasterVolumeSlider, kMasterRange, kMasterMeaning, client);
    masterVolumeLabel->setBuddy(masterVolumeSlider);
}

void MainWindow::buildFrequencyFrame(QWidget* frame) {
    for (std::size_t colour = 0; colour < frequencySliders.size(); ++colour) {
        frequencySliders[colour] = slider(layout::kFrequencySliders[colour], kFrequencyRange,
                                          kFrequencyMeaning, frame, player::colourName(colour));
    }
    for (std::size_t colour = 0; colour < frequencyReadouts.size(); ++colour) {
        frequencyReadouts[colour] = readout(layout::kFrequencyReadouts[colour], frame);
        frequencyReadouts[colour]->setAccessibleName(player::colourName(colour) +
                                                     QStringLiteral(" noise playing rate, hertz"));
    }
    // Each "hz" overlaps the last column of the readout beside it: keep the text clear of it, and
    // on the line of the readout's digits.
    for (const widgets::ControlRow& row : layout::kHzLabels) {
        auto* unit = placeControl<QLabel>(row, frame);
        unit->setContentsMargins(1, 0, 0, 0);
        unit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
}

void MainWindow::setTabOrderAndFocus() {
    std::vector<QWidget*> order{panningSlider, masterVolumeSlider};
    order.insert(order.end(), colourToggles.begin(), colourToggles.end());
    order.insert(order.end(), volumeSliders.begin(), volumeSliders.end());
    order.insert(order.end(), frequencySliders.begin(), frequencySliders.end());
    order.insert(order.end(), {colourPicture, closeButton, trayButton, recordButton, startInTrayBox,
                               muteButton, resetAllButton});
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    panningSlider->setFocus();
}

} // namespace calmfield::shell
