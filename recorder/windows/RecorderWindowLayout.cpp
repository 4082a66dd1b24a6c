// Builds the recorder window's controls: captions, places, colours, fonts and tab order.

#include "recorder/windows/RecorderWindow.h"
#include "resources/EmbeddedPictures.h"
#include "widgets/ClientArea.h"
#include "widgets/FixedSizeWindowHints.h"
#include "widgets/LayoutTable.h"
#include "widgets/Twips.h"

#include <QLayout>
#include <QMenuBar>

namespace calmfield::recorder {
namespace {

using enum widgets::ControlKind;
using widgets::ControlRow;
using widgets::placeControl;

// The layout table, in the order the controls are made: a later one lies above an earlier one.
// The "Information" frame holds the information readout; the "Status" frame the elapsed-time
// display, the mode readout and the Save button; the other buttons lie on the client area, above
// the "Status" frame. The out-of-sight box lies wholly outside the client area.
constexpr ControlRow kInformationFrame{"Frame3", GroupBox, "Information", 120, 120, 2775, 2295};
constexpr ControlRow kInformationReadout{"Label3", Label, "", 120, 240, 2535, 1935};
constexpr ControlRow kStatusFrame{"Frame2", GroupBox, "Status", 3000, 120, 2775, 2295};
constexpr ControlRow kElapsedReadout{"Text1", TextBox, "", 120, 240, 2535, 375};
constexpr ControlRow kModeReadout{"Label1", Label, "", 120, 720, 2535, 375};
constexpr ControlRow kSaveButton{"Command5", WideButton, "Save ", 120, 1560, 2535, 255};
constexpr ControlRow kRecordButton{"Command2", MediumButton, "Record", 3120, 1320, 735, 255};
constexpr ControlRow kStopButton{"Command3", MediumButton, "Stop", 3960, 1320, 855, 255};
constexpr ControlRow kPlayButton{"Command4", MediumButton, "Play", 4920, 1320, 735, 255};
constexpr ControlRow kResetButton{"Command1", WideButton, "Reset", 3120, 2040, 1695, 255};
constexpr ControlRow kHelpButton{"Command6", MediumButton, "Help", 4920, 2040, 735, 255};
constexpr ControlRow kOutOfSightBox{"Text2", TextBox, "", -3960, 3000, 5535, 375};

const QColor kSilver(192, 192, 192);
const QColor kOrange(255, 128, 0);
const QColor kRed(255, 0, 0);

constexpr int kModePollMilliseconds = 500;
constexpr int kSizePollMilliseconds = 19;

constexpr double kInformationPointSize = 8.25;
constexpr double kElapsedPointSize = 12;
constexpr double kModePointSize = 9.75;

QTimer* timer(const char* name, int milliseconds, QObject* owner) {
    auto* made = new QTimer(owner);
    made->setObjectName(QLatin1String(name));
    made->setInterval(milliseconds);
    return made;
}

void setColour(QWidget* control, QPalette::ColorRole role, const QColor& colour) {
    QPalette colours = control->palette();
    colours.setColor(role, colour);
    control->setPalette(colours);
}

void setTextFont(QWidget* control, const QString& family, double pointSize, bool bold) {
    QFont chosen = control->font();
    if (!family.isEmpty())
        chosen.setFamily(family);
    chosen.setPointSizeF(pointSize);
    chosen.setBold(bold);
    control->setFont(chosen);
}

QGroupBox* placeFrame(const ControlRow& row, QWidget* container) {
    auto* box = placeControl<QGroupBox>(row, container);
    setColour(box, QPalette::Window, kSilver);
    return box;
}

// Light text on black inside a thin line.
QLabel* placeReadout(const ControlRow& row, QWidget* container, const QColor& text,
                     Qt::Alignment alignment) {
    auto* shown = placeControl<QLabel>(row, container);
    shown->setFrameStyle(QFrame::Box | QFrame::Plain);
    shown->setLineWidth(1);
    shown->setAlignment(alignment);
    shown->setAutoFillBackground(true);
    setColour(shown, QPalette::Window, Qt::black);
    setColour(shown, QPalette::WindowText, text);
    return shown;
}

} // namespace

void RecorderWindow::buildWindow() {
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Sound Recorder"));
    // As a tool window it has no taskbar button.
    widgets::makeFixedFrame(*this, Qt::Tool);

    auto* client =
        new widgets::ClientArea(QPixmap(QString::fromLatin1(resources::kBackgroundPicture)), this);
    client->setFixedSize(widgets::pixels(5880), widgets::pixels(2535));
    setColour(client, QPalette::Window, kSilver);
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
    qualityMenu_ = menuBar()->addMenu(QStringLiteral("Quality"));
    qualityMenu_->setObjectName(QStringLiteral("Quality"));
    lowQuality_ = qualityMenu_->addAction(QStringLiteral("Low Quality"));
    lowQuality_->setObjectName(QStringLiteral("low"));
    mediumQuality_ = qualityMenu_->addAction(QStringLiteral("Medium Quality"));
    mediumQuality_->setObjectName(QStringLiteral("med"));
    highQuality_ = qualityMenu_->addAction(QStringLiteral("High Quality"));
    highQuality_->setObjectName(QStringLiteral("high"));
    for (QAction* entry : {lowQuality_, mediumQuality_, highQuality_})
        entry->setCheckable(true);
    qualityMenu_->setEnabled(false);
    qualityMenu_->menuAction()->setEnabled(false);
}

void RecorderWindow::buildControls(widgets::ClientArea* client) {
    informationFrame_ = placeFrame(kInformationFrame, client);
    informationReadout_ =
        placeReadout(kInformationReadout, informationFrame_, kOrange, Qt::AlignLeft | Qt::AlignTop);
    setTextFont(informationReadout_, QStringLiteral("Arial"), kInformationPointSize, false);

    statusFrame_ = placeFrame(kStatusFrame, client);
    elapsedReadout_ = placeControl<QLineEdit>(kElapsedReadout, statusFrame_);
    elapsedReadout_->setReadOnly(true);
    elapsedReadout_->setAlignment(Qt::AlignCenter);
    setTextFont(elapsedReadout_, QStringLiteral("Arial"), kElapsedPointSize, true);
    setColour(elapsedReadout_, QPalette::Base, Qt::black);
    setColour(elapsedReadout_, QPalette::Text, kSilver);
    modeReadout_ = placeReadout(kModeReadout, statusFrame_, Qt::white, Qt::AlignCenter);
    setTextFont(modeReadout_, QString(), kModePointSize, true);

    saveButton_ = placeControl<widgets::GraphicalButton>(kSaveButton, statusFrame_);
    recordButton_ = placeControl<widgets::GraphicalButton>(kRecordButton, client);
    setColour(recordButton_, QPalette::Button, kRed);
    stopButton_ = placeControl<widgets::GraphicalButton>(kStopButton, client);
    playButton_ = placeControl<widgets::GraphicalButton>(kPlayButton, client);
    resetButton_ = placeControl<widgets::GraphicalButton>(kResetButton, client);
    helpButton_ = placeControl<widgets::GraphicalButton>(kHelpButton, client);
    outOfSightBox_ = placeControl<QLineEdit>(kOutOfSightBox, client);
    // Hidden as well as out of sight: neither the focus nor assistive technology reaches it.
    outOfSightBox_->setFocusPolicy(Qt::NoFocus);
    outOfSightBox_->hide();
    nameForAssistiveTechnology();
}

// What a screen reader says of the controls beyond their captions.
void RecorderWindow::nameForAssistiveTechnology() {
    elapsedReadout_->setAccessibleName(QStringLiteral("Elapsed time"));
    saveButton_->setAccessibleName(QStringLiteral("Save"));
    const std::pair<QWidget*, const char*> descriptions[] = {
        {recordButton_, "Starts a new take of what the speakers play"},
        {stopButton_, "Ends the take, or its playing back"},
        {playButton_, "Plays the take back"},
        {saveButton_, "Saves the take as a WAV file in your home folder"},
        {resetButton_, "Throws the take away"},
        {helpButton_, "Opens the troubleshooting window"},
    };
    for (const auto& [control, description] : descriptions)
        control->setAccessibleDescription(QString::fromLatin1(description));
}

void RecorderWindow::buildTimers() {
    modePoll_ = timer("Timer1", kModePollMilliseconds, this);
    sizePoll_ = timer("Timer2", kSizePollMilliseconds, this);
    elapsedClock_ = timer("Timer3", 0, this);
}

void RecorderWindow::setTabOrder() {
    QWidget* const order[] = {playButton_,     stopButton_,  recordButton_, saveButton_,
                              elapsedReadout_, resetButton_, helpButton_};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace calmfield::recorder
