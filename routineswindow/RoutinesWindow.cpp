#include "routineswindow/RoutinesWindow.h"

#include "desktop/QtFileDialog.h"
#include "routines/NextEventText.h"
#include "routines/RoutinesFile.h"
#include "routineswindow/RiseAndFall.h"
#include "routineswindow/RoutineColumns.h"
#include "routineswindow/RoutinesWindowLayoutTable.h"
#include "widgets/Accessibility.h"
#include "widgets/CentreOnScreen.h"

#include <QDir>
#include <QFileInfo>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTime>

#include <algorithm>

namespace calmfield::routineswindow {
namespace {

using routines::Routine;
using widgets::CheckBox;
using namespace std::chrono_literals;

// Off until the user has set it going.
const Routine kNewRoutine{.on = false,
                          .days = {true, true, true, true, true, true, true},
                          .startMinute = 22 * 60,
                          .endMinute = 7 * 60,
                          .rise = 1min,
                          .fall = 10min};

int minuteOf(const QTime& time) {
    return time.hour() * 60 + time.minute();
}

// Shows `value` in a control without the control reporting it as the user's change.
template <typename Control, typename Value> void mirror(Control* control, const Value& value) {
    const QSignalBlocker quiet(control);
    if constexpr (std::is_same_v<Control, widgets::TimeBox>)
        control->setTime(QTime(value / 60, value % 60));
    else
        control->setValue(value);
}

int boxValue(bool ticked) {
    return ticked ? CheckBox::kOn : CheckBox::kOff;
}

} // namespace

RoutinesWindow::RoutinesWindow(RoutinesWindowServices services, QWidget* parent)
    : QWidget(parent, Qt::Window), file_(std::move(services.file)), runner_(services.runner),
      clock_(services.clock), player_(services.player), messages_(services.messages),
      fileDialog_(services.fileDialog), startAtLogin_(&services.startAtLogin),
      startsAtLogin_(std::move(services.startsAtLogin)) {
    if (fileDialog_ == nullptr) {
        ownFileDialog_ =
            std::make_unique<desktop::QtFileDialog>(this, QLatin1String(layout::kFileDialogName));
        fileDialog_ = ownFileDialog_.get();
    }
    buildWindow();
    forwardUserChanges();
    forwardRoutineChanges();
    // The runner tells of a change to the file, and of the time reaching the next event.
    connect(&runner_, &session::RoutineRunner::changed, this, &RoutinesWindow::readFile);
    connect(&player_, &player::MixPlayer::muteChanged, this, &RoutinesWindow::showNext);
    connect(startAtLogin_.data(), &QAction::toggled, this, &RoutinesWindow::showNext);
    readFile();
}

RoutinesWindow::~RoutinesWindow() = default;

void RoutinesWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        widgets::centreOnScreen(*this);
        readFile();
    }
    QWidget::showEvent(event);
}

void RoutinesWindow::forwardUserChanges() {
    connect(list_, &QTreeWidget::currentItemChanged, this, &RoutinesWindow::showChosen);
    connect(addButton_, &QAbstractButton::clicked, this, &RoutinesWindow::add);
    connect(removeButton_, &QAbstractButton::clicked, this, &RoutinesWindow::remove);
    connect(startAtLoginBox_, &CheckBox::valueChanged, this, [this] {
        if (startAtLogin_)
            startAtLogin_->trigger();
        showNext();
    });
    connect(closeButton_, &QAbstractButton::clicked, this, &QWidget::close);
}

void RoutinesWindow::forwardRoutineChanges() {
    connect(onBox_, &CheckBox::valueChanged, this, [this](int value) {
        changeChosen([&](Routine& routine) { routine.on = value == CheckBox::kOn; });
    });
    for (std::size_t day = 0; day < dayBoxes_.size(); ++day) {
        connect(dayBoxes_[day], &CheckBox::valueChanged, this, [this, day](int value) {
            changeChosen([&](Routine& routine) { routine.days[day] = value == CheckBox::kOn; });
        });
    }
    connect(startBox_, &QTimeEdit::timeChanged, this, [this](QTime time) {
        changeChosen([&](Routine& routine) { routine.startMinute = minuteOf(time); });
    });
    connect(endBox_, &QTimeEdit::timeChanged, this, [this](QTime time) {
        changeChosen([&](Routine& routine) { routine.endMinute = minuteOf(time); });
    });
    connect(untilStoppedBox_, &CheckBox::valueChanged, this, [this](int value) {
        changeChosen([&](Routine& routine) {
            routine.endMinute =
                value == CheckBox::kOn ? std::nullopt : std::optional(minuteOf(endBox_->time()));
        });
    });
    connect(riseSlider_, &QAbstractSlider::valueChanged, this, [this](int position) {
        changeChosen([&](Routine& routine) { routine.rise = riseOrFallAt(position); });
    });
    connect(fallSlider_, &QAbstractSlider::valueChanged, this, [this](int position) {
        changeChosen([&](Routine& routine) { routine.fall = riseOrFallAt(position); });
    });
    connect(playingMixButton_, &QAbstractButton::toggled, this, [this](bool checked) {
        if (checked)
            changeChosen([](Routine& routine) { routine.mix.clear(); });
    });
    connect(fileMixButton_, &QAbstractButton::toggled, this, [this](bool checked) {
        if (checked)
            chooseMix();
    });
    connect(chooseButton_, &QAbstractButton::clicked, this, &RoutinesWindow::chooseMix);
}

// The file is read anew for each change, so that a change made to it meanwhile is kept.
bool RoutinesWindow::change(const std::function<bool(std::vector<Routine>&)>& edit) {
    auto read = routines::readRoutinesFile(file_);
    if (!read.ok()) {
        messages_.showMessage(QStringLiteral("Calmfield cannot change its routines in \"%1\": "
                                             "%2. The file is left as it is.")
                                  .arg(file_, read.reason()));
        readFile();
        return false;
    }
    routines::RoutinesFile routines = std::move(read.value());
    std::vector<Routine> changed = routines.routines();
    if (!edit(changed)) {
        readFile();
        return false;
    }
    routines.replaceRoutines(changed);
    QDir().mkpath(QFileInfo(file_).path());
    const auto written = routines::writeRoutinesFile(file_, routines);
    if (!written.ok())
        messages_.showMessage(QStringLiteral("Calmfield cannot save its routines in \"%1\": %2. "
                                             "The routines are left as they were.")
                                  .arg(file_, written.reason()));
    readFile();
    return written.ok();
}

void RoutinesWindow::changeChosen(const std::function<void(Routine&)>& edit) {
    const auto at = chosen();
    if (!at)
        return;
    change([&](std::vector<Routine>& routines) {
        if (*at >= routines.size())
            return false;
        Routine routine = routines[*at];
        edit(routine);
        // The file has no way to write a routine of no day.
        if (std::none_of(routine.days.begin(), routine.days.end(), [](bool day) { return day; }))
            return false;
        routines[*at] = routine;
        return true;
    });
}

void RoutinesWindow::add() {
    const bool added = change([](std::vector<Routine>& routines) {
        routines.push_back(kNewRoutine);
        return true;
    });
    if (added)
        list_->setCurrentItem(list_->topLevelItem(list_->topLevelItemCount() - 1));
}

void RoutinesWindow::remove() {
    const auto at = chosen();
    if (!at)
        return;
    change([&](std::vector<Routine>& routines) {
        if (*at >= routines.size())
            return false;
        routines.erase(routines.begin() + static_cast<std::ptrdiff_t>(*at));
        return true;
    });
}

void RoutinesWindow::chooseMix() {
    const auto at = chosen();
    if (!at)
        return;
    const QString mix = routines_[*at].mix;
    fileDialog_->setFilter(QStringLiteral("Calmfield Files (*.clm)"), QStringLiteral("*.clm"));
    fileDialog_->setInitialFolder(mix.isEmpty() ? QDir::homePath() : QFileInfo(mix).absolutePath());
    fileDialog_->showOpen();
    const QString path = fileDialog_->chosenPath();
    if (path.isEmpty())
        showChosen(); // the mix it had
    else
        changeChosen([&](Routine& routine) { routine.mix = path; });
}

// A file that cannot be read shows no routines; the runner has told the user why.
void RoutinesWindow::readFile() {
    const auto read = routines::readRoutinesFile(file_);
    routines_ = read.ok() ? read.value().routines() : std::vector<Routine>{};
    showList();
}

// The rows are changed in place, so that the chosen one stays chosen.
void RoutinesWindow::showList() {
    {
        const QSignalBlocker quiet(list_);
        const int count = static_cast<int>(routines_.size());
        while (list_->topLevelItemCount() > count)
            delete list_->takeTopLevelItem(list_->topLevelItemCount() - 1);
        while (list_->topLevelItemCount() < count)
            list_->addTopLevelItem(new QTreeWidgetItem(list_));
        for (int row = 0; row < count; ++row) {
            const QStringList columns = routineColumns(routines_[static_cast<std::size_t>(row)]);
            for (int column = 0; column < columns.size(); ++column)
                list_->topLevelItem(row)->setText(column, columns[column]);
        }
        if (list_->currentItem() == nullptr && count > 0)
            list_->setCurrentItem(list_->topLevelItem(0));
    }
    showChosen();
    showNext();
}

void RoutinesWindow::showChosen() {
    const auto at = chosen();
    routineFrame_->setEnabled(at.has_value());
    removeButton_->setEnabled(at.has_value());
    if (!at)
        return;
    const Routine& routine = routines_[*at];
    mirror(onBox_, boxValue(routine.on));
    for (std::size_t day = 0; day < dayBoxes_.size(); ++day)
        mirror(dayBoxes_[day], boxValue(routine.days[day]));
    mirror(startBox_, routine.startMinute);
    // Until stopped, the end shown stays as it was, to be taken again.
    if (routine.endMinute)
        mirror(endBox_, *routine.endMinute);
    endBox_->setEnabled(routine.endMinute.has_value());
    mirror(untilStoppedBox_, boxValue(!routine.endMinute));
    mirror(riseSlider_, riseSlider_->positionNearest(static_cast<double>(routine.rise.count())));
    riseReadout_->setText(riseOrFallText(routine.rise));
    mirror(fallSlider_, fallSlider_->positionNearest(static_cast<double>(routine.fall.count())));
    fallReadout_->setText(riseOrFallText(routine.fall));
    widgets::RadioButton* mix = routine.mix.isEmpty() ? playingMixButton_ : fileMixButton_;
    {
        const QSignalBlocker quiet(mix);
        mix->setChecked(true);
    }
    mixReadout_->setText(QFileInfo(routine.mix).fileName());
}

void RoutinesWindow::showNext() {
    const qint64 now = clock_.now();
    const QTimeZone zone = clock_.zone();
    const QString next = routines::describeNextEvent(routines::nextEvent(routines_, now, zone),
                                                     routines_, now, zone);
    nextReadout_->setText(next);
    widgets::announceName(*nextReadout_, next);

    QStringList notes;
    if (std::any_of(routines_.begin(), routines_.end(),
                    [](const Routine& routine) { return routine.on; })) {
        if (!runner_.wakesComputer())
            notes.append(QStringLiteral("The computer must be awake at the start time."));
        if (!startsAtLogin_())
            notes.append(QStringLiteral("Calmfield does not start at login, so routines run only "
                                        "while it is running."));
        if (player_.muted())
            notes.append(QStringLiteral("Mute holds: the routine will be silent."));
    }
    notesLabel_->setText(notes.join(QLatin1Char('\n')));
    mirror(startAtLoginBox_, boxValue(startAtLogin_ && startAtLogin_->isChecked()));
}

std::optional<std::size_t> RoutinesWindow::chosen() const {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row < 0 || static_cast<std::size_t>(row) >= routines_.size())
        return std::nullopt;
    return static_cast<std::size_t>(row);
}

} // namespace calmfield::routineswindow
