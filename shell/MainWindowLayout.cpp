// Builds the main window from its layout table: places, ranges, colours, menus and tab order.

#include "resources/EmbeddedPictures.h"
#include "shell/MainWindow.h"
#include "shell/MainWindowLayoutTable.h"
#include "widgets/ClientArea.h"
#include "widgets/FixedSizeWindowHints.h"
#include "widgets/Readout.h"
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

QAction* named(QAction* action, const layout::MenuRow& row) {
    action->setObjectName(QLatin1String(row.name));
    return action;
}

QMenu* menu(QMenuBar* bar, const layout::MenuRow& row) {
    QMenu* added = bar->addMenu(QString::fromUtf8(row.caption));
    added->setObjectName(QLatin1String(row.name));
    return added;
}

QAction* item(QMenu* owner, const layout::MenuRow& row) {
    return named(owner->addAction(QString::fromUtf8(row.caption)), row);
}

} // namespace

void MainWindow::buildWindow() {
    setObjectName(QLatin1String(layout::kWindowName));
    setWindowTitle(QString::fromLatin1(layout::kCaption));
    // Keeping the taskbar button.
    widgets::makeFixedFrame(*this, Qt::Window);

    auto* client =
        new widgets::ClientArea(QPixmap(QString::fromLatin1(resources::kBackgroundPicture)), this);
    client->setFixedSize(widgets::pixels(layout::kClientWidth),
                         widgets::pixels(layout::kClientHeight));
    setCentralWidget(client);
    buildMenus();
    buildControls(client);
    startInTrayTimer_ = new QTimer(this);
    startInTrayTimer_->setObjectName(QLatin1String(layout::kStartInTrayTimerName));
    startInTrayTimer_->setSingleShot(true);
    startInTrayTimer_->setInterval(kStartInTrayDelay);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();

    if (const QScreen* display = screen()) {
        const QRect available = display->availableGeometry();
        move(available.center() - QPoint(width() / 2, height() / 2));
    }
    setTabOrderAndFocus();
}

void MainWindow::buildMenus() {
    mainMenu_ = menu(menuBar(), layout::kMainMenu);
    loadAction_ = item(mainMenu_, layout::kLoadItem);
    saveAction_ = item(mainMenu_, layout::kSaveItem);
    recentMixesMenu_ = new RecentMixesMenu(recentMixes_, mainMenu_);
    mainMenu_->addMenu(recentMixesMenu_);
    sleepMenu_ = new SleepMenu(player_.sleepTimer(), routineOn_, mainMenu_);
    sleepMenu_->setObjectName(QStringLiteral("sleepMenu"));
    mainMenu_->addMenu(sleepMenu_);
    startAtLoginAction_ = item(mainMenu_, layout::kStartAtLoginItem);
    startAtLoginAction_->setCheckable(true);
    // Ticked until the run's own choice is shown in it.
    keepAwakeAction_ = item(mainMenu_, layout::kKeepAwakeItem);
    keepAwakeAction_->setCheckable(true);
    keepAwakeAction_->setChecked(true);
    toneAction_ = item(mainMenu_, layout::kToneItem);
    driftAction_ = item(mainMenu_, layout::kDriftItem);
    routinesAction_ = item(mainMenu_, layout::kRoutinesItem);
    named(mainMenu_->addSeparator(), layout::kExitSeparator);
    exitAction_ = item(mainMenu_, layout::kExitItem);

    helpMenu_ = menu(menuBar(), layout::kHelpMenu);
    helpAction_ = item(helpMenu_, layout::kHelpItem);
    contactAction_ = item(helpMenu_, layout::kContactItem);
    named(helpMenu_->addSeparator(), layout::kAboutSeparator);
    aboutAction_ = item(helpMenu_, layout::kAboutItem);

    // The titles mark no letter: these keys open the menus without changing their look.
    const auto opens = [this](QKeySequence keys, QMenu* menu) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this,
                [this, menu] { menuBar()->setActiveAction(menu->menuAction()); });
    };
    opens(QKeySequence(Qt::ALT | Qt::Key_M), mainMenu_);
    opens(QKeySequence(Qt::Key_F10), mainMenu_);
    opens(QKeySequence(Qt::ALT | Qt::Key_H), helpMenu_);
}

// Controls are made from the bottom of the stack up: a control made later lies above the ones it
// overlaps.
void MainWindow::buildControls(QWidget* client) {
    placeControl(layout::kColoursFrame, client);
    for (std::size_t colour = 0; colour < colourToggles_.size(); ++colour)
        colourToggles_[colour] =
            placeControl<widgets::CheckBox>(layout::kColourToggles[colour], client);

    QWidget* volumes = placeControl(layout::kVolumesFrame, client);
    for (std::size_t colour = 0; colour < volumeSliders_.size(); ++colour) {
        volumeSliders_[colour] = slider(layout::kVolumeSliders[colour], kVolumeRange,
                                        kVolumeMeaning, volumes, player::colourName(colour));
    }
    buildFrequencyFrame(placeControl(layout::kFrequencyFrame, client));

    colourPicture_ = placeControl<QLabel>(layout::kColourPicture, client);
    colourPicture_->setAccessibleName(QStringLiteral("Colour picture: none"));
    QWidget* resetFrame = placeControl(layout::kResetFrame, client);
    resetAllButton_ = placeControl<widgets::GraphicalButton>(layout::kResetAllButton, resetFrame);
    QWidget* options = placeControl(layout::kOptionsFrame, client);
    startInTrayBox_ = placeControl<widgets::CheckBox>(layout::kStartInTrayBox, options);

    recordButton_ = placeControl<widgets::GraphicalButton>(layout::kRecordButton, client);
    muteButton_ = placeControl<widgets::GraphicalButton>(layout::kMuteButton, client);
    muteButton_->setCheckable(true); // checked while muted
    trayButton_ = placeControl<widgets::GraphicalButton>(layout::kTrayButton, client);
    closeButton_ = placeControl<widgets::GraphicalButton>(layout::kCloseButton, client);
    auto* panningLabel = placeControl<QLabel>(layout::kPanningLabel, client);
    panningSlider_ = slider(layout::kPanningSlider, kPanningRange, kPanningMeaning, client);
    panningLabel->setBuddy(panningSlider_);
    auto* masterVolumeLabel = placeControl<QLabel>(layout::kMasterVolumeLabel, client);
    masterVolumeSlider_ = slider(layout::kMasterVolumeSlider, kMasterRange, kMasterMeaning, client);
    masterVolumeLabel->setBuddy(masterVolumeSlider_);
}

void MainWindow::buildFrequencyFrame(QWidget* frame) {
    for (std::size_t colour = 0; colour < frequencySliders_.size(); ++colour) {
        frequencySliders_[colour] = slider(layout::kFrequencySliders[colour], kFrequencyRange,
                                           kFrequencyMeaning, frame, player::colourName(colour));
    }
    for (std::size_t colour = 0; colour < frequencyReadouts_.size(); ++colour) {
        frequencyReadouts_[colour] =
            widgets::placeReadout(layout::kFrequencyReadouts[colour], frame);
        frequencyReadouts_[colour]->setAccessibleName(player::colourName(colour) +
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
    std::vector<QWidget*> order{panningSlider_, masterVolumeSlider_};
    order.insert(order.end(), colourToggles_.begin(), colourToggles_.end());
    order.insert(order.end(), volumeSliders_.begin(), volumeSliders_.end());
    order.insert(order.end(), frequencySliders_.begin(), frequencySliders_.end());
    order.insert(order.end(), {colourPicture_, closeButton_, trayButton_, recordButton_,
                               startInTrayBox_, muteButton_, resetAllButton_});
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    panningSlider_->setFocus();
}

} // namespace calmfield::shell
