// Builds the routines window from its layout table: places, ranges, readouts, names for assistive
// technology and tab order.

#include "routineswindow/RiseAndFall.h"
#include "routineswindow/RoutinesWindow.h"
#include "routineswindow/RoutinesWindowLayoutTable.h"
#include "widgets/Accessibility.h"
#include "widgets/Readout.h"
#include "widgets/ToolWindow.h"

#include <vector>

namespace calmfield::routineswindow {
namespace {

using widgets::placeControl;

constexpr std::array<const char*, 7> kDayNames{"Monday", "Tuesday",  "Wednesday", "Thursday",
                                               "Friday", "Saturday", "Sunday"};

// A step is five seconds or a minute; a page, five steps.
constexpr widgets::Slider::Range kRiseOrFallRange{0, kLongestRiseOrFallPosition, 1, 5, 0};

widgets::Slider* riseOrFallSlider(const widgets::ControlRow& row, const QString& name,
                                  QWidget* frame) {
    auto* slider = placeControl<widgets::Slider>(row, frame);
    slider->setRange(kRiseOrFallRange);
    slider->setAccessibleName(name);
    slider->setUnitScale({
        .valueAt = [](int position) { return double(riseOrFallAt(position).count()); },
        .positionOf = &positionOfRiseOrFall,
    });
    return slider;
}

template <typename Control>
Control* captioned(const widgets::ControlRow& row, const widgets::ControlRow& caption,
                   QWidget* frame) {
    auto* control = placeControl<Control>(row, frame);
    placeControl<QLabel>(caption, frame)->setBuddy(control);
    return control;
}

} // namespace

void RoutinesWindow::buildWindow() {
    QWidget* client = widgets::makeToolWindow(*this, layout::kWindowName, layout::kCaption,
                                              layout::kClientWidth, layout::kClientHeight);
    buildListFrame(placeControl(layout::kListFrame, client));
    routineFrame_ = placeControl(layout::kRoutineFrame, client);
    buildRoutineFrame(routineFrame_);
    buildNextFrame(placeControl(layout::kNextFrame, client));
    QWidget* buttons = placeControl(layout::kButtonsFrame, client);
    closeButton_ = placeControl<widgets::GraphicalButton>(layout::kCloseButton, buttons);
    setTabOrderAndFocus();
}

void RoutinesWindow::buildListFrame(QWidget* frame) {
    list_ = placeControl<widgets::ListBox>(layout::kRoutinesList, frame);
    list_->setAccessibleName(QStringLiteral("Routines"));
    addButton_ = placeControl<widgets::GraphicalButton>(layout::kAddButton, frame);
    addButton_->setAccessibleDescription(QStringLiteral("Adds a routine, off until it is set"));
    removeButton_ = placeControl<widgets::GraphicalButton>(layout::kRemoveButton, frame);
    removeButton_->setAccessibleDescription(QStringLiteral("Removes the chosen routine"));
}

void RoutinesWindow::buildRoutineFrame(QWidget* frame) {
    onBox_ = placeControl<widgets::CheckBox>(layout::kOnBox, frame);
    onBox_->setAccessibleName(QStringLiteral("Routine on"));
    placeControl(layout::kDaysCaption, frame);
    for (std::size_t day = 0; day < dayBoxes_.size(); ++day) {
        dayBoxes_[day] = placeControl<widgets::CheckBox>(layout::kDayBoxes[day], frame);
        dayBoxes_[day]->setAccessibleName(QString::fromLatin1(kDayNames[day]));
    }
    startBox_ = captioned<widgets::TimeBox>(layout::kStartBox, layout::kStartCaption, frame);
    startBox_->setAccessibleName(QStringLiteral("Start time"));
    endBox_ = captioned<widgets::TimeBox>(layout::kEndBox, layout::kEndCaption, frame);
    endBox_->setAccessibleName(QStringLiteral("End time"));
    endBox_->setTime(QTime(7, 0));
    untilStoppedBox_ = placeControl<widgets::CheckBox>(layout::kUntilStoppedBox, frame);
    untilStoppedBox_->setAccessibleName(QStringLiteral("Until stopped"));

    riseSlider_ =
        riseOrFallSlider(layout::kRiseSlider, QStringLiteral("Routine rise, seconds"), frame);
    placeControl<QLabel>(layout::kRiseCaption, frame)->setBuddy(riseSlider_);
    riseReadout_ = widgets::placeReadout(layout::kRiseReadout, frame);
    fallSlider_ =
        riseOrFallSlider(layout::kFallSlider, QStringLiteral("Routine fall, seconds"), frame);
    placeControl<QLabel>(layout::kFallCaption, frame)->setBuddy(fallSlider_);
    fallReadout_ = widgets::placeReadout(layout::kFallReadout, frame);

    placeControl(layout::kMixCaption, frame);
    playingMixButton_ = placeControl<widgets::RadioButton>(layout::kPlayingMixButton, frame);
    playingMixButton_->setAccessibleName(QStringLiteral("Mix: the mix that plays"));
    fileMixButton_ = placeControl<widgets::RadioButton>(layout::kFileMixButton, frame);
    fileMixButton_->setAccessibleName(QStringLiteral("Mix: a configuration file"));
    mixReadout_ = widgets::placeReadout(layout::kMixReadout, frame);
    chooseButton_ = placeControl<widgets::GraphicalButton>(layout::kChooseButton, frame);
    chooseButton_->setAccessibleName(QStringLiteral("Choose the mix's file"));
}

void RoutinesWindow::buildNextFrame(QWidget* frame) {
    nextReadout_ = widgets::placeReadout(layout::kNextReadout, frame);
    notesLabel_ = placeControl<QLabel>(layout::kNotesLabel, frame);
    notesLabel_->setWordWrap(true);
    startAtLoginBox_ = placeControl<widgets::CheckBox>(layout::kStartAtLoginBox, frame);
    startAtLoginBox_->setAccessibleName(QStringLiteral("Start at Login"));
}

void RoutinesWindow::setTabOrderAndFocus() {
    std::vector<QWidget*> order{list_, addButton_, removeButton_, onBox_};
    order.insert(order.end(), dayBoxes_.begin(), dayBoxes_.end());
    order.insert(order.end(),
                 {startBox_, endBox_, untilStoppedBox_, riseSlider_, fallSlider_, playingMixButton_,
                  fileMixButton_, chooseButton_, startAtLoginBox_, closeButton_});
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    list_->setFocus();
}

} // namespace calmfield::routineswindow
