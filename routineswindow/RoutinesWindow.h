#pragma once

#include "desktop/FileDialog.h"
#include "player/MixPlayer.h"
#include "routines/Routine.h"
#include "session/MessageSink.h"
#include "session/RoutineRunner.h"
#include "widgets/CheckBox.h"
#include "widgets/GraphicalButton.h"
#include "widgets/ListBox.h"
#include "widgets/RadioButton.h"
#include "widgets/Slider.h"
#include "widgets/TimeBox.h"

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QShowEvent;

namespace calmfield::routineswindow {

// What the routines window reaches the world through.
struct RoutinesWindowServices {
    // The routines file.
    QString file;
    // What plays the routines; it outlives the window, as do the player and the clock.
    const session::RoutineRunner& runner;
    // The wall clock the runner follows, for "tonight" and "tomorrow".
    const session::RoutineClock& clock;
    // Whether Mute holds.
    const player::MixPlayer& player;
    session::MessageSink& messages;
    // Where a routine's mix is chosen; when null the window makes the desktop's own.
    desktop::FileDialog* fileDialog;
    // The main menu's "Start at Login", which the window's box takes and follows.
    QAction& startAtLogin;
    // Whether the program starts at login one way or another.
    std::function<bool()> startsAtLogin;
};

// The routines window: the routines file as a list, the chosen routine's fields, and the next
// start or end with what may keep it from being heard. Each change is written to the file at
// once, its notes and the lines it cannot read kept in their places; the window shows the file
// anew as the runner finds a change in it. A fixed frame with a close box only; Escape closes it.
class RoutinesWindow : public QWidget {
    Q_OBJECT

  public:
    explicit RoutinesWindow(RoutinesWindowServices services, QWidget* parent = nullptr);
    ~RoutinesWindow() override;

  protected:
    // Showing the window from the program centres it and reads the file anew.
    void showEvent(QShowEvent* event) override;

  private:
    // Building the window (RoutinesWindowLayout.cpp).
    void buildWindow();
    void buildListFrame(QWidget* frame);
    void buildRoutineFrame(QWidget* frame);
    void buildNextFrame(QWidget* frame);
    void setTabOrderAndFocus();

    // Between the controls and the file.
    void forwardUserChanges();
    void forwardRoutineChanges();
    // Reads the file, changes its routines by `edit`, and writes it; false when `edit` made no
    // change or the file could not be read or written.
    bool change(const std::function<bool(std::vector<routines::Routine>&)>& edit);
    // Changes the chosen routine; a change that leaves it no day is not made.
    void changeChosen(const std::function<void(routines::Routine&)>& edit);
    void add();
    void remove();
    void chooseMix();
    void readFile();
    void showList();
    void showChosen();
    void showNext();

    std::optional<std::size_t> chosen() const;

    QString file_;
    const session::RoutineRunner& runner_;
    const session::RoutineClock& clock_;
    const player::MixPlayer& player_;
    session::MessageSink& messages_;
    std::unique_ptr<desktop::FileDialog> ownFileDialog_;
    desktop::FileDialog* fileDialog_;
    QPointer<QAction> startAtLogin_;
    std::function<bool()> startsAtLogin_;
    std::vector<routines::Routine> routines_;

    // The controls by role.
    widgets::ListBox* list_ = nullptr;
    widgets::GraphicalButton* addButton_ = nullptr;
    widgets::GraphicalButton* removeButton_ = nullptr;
    QWidget* routineFrame_ = nullptr;
    widgets::CheckBox* onBox_ = nullptr;
    std::array<widgets::CheckBox*, 7> dayBoxes_{};
    widgets::TimeBox* startBox_ = nullptr;
    widgets::TimeBox* endBox_ = nullptr;
    widgets::CheckBox* untilStoppedBox_ = nullptr;
    widgets::Slider* riseSlider_ = nullptr;
    QLabel* riseReadout_ = nullptr;
    widgets::Slider* fallSlider_ = nullptr;
    QLabel* fallReadout_ = nullptr;
    widgets::RadioButton* playingMixButton_ = nullptr;
    widgets::RadioButton* fileMixButton_ = nullptr;
    QLabel* mixReadout_ = nullptr;
    widgets::GraphicalButton* chooseButton_ = nullptr;
    QLabel* nextReadout_ = nullptr;
    QLabel* notesLabel_ = nullptr;
    widgets::CheckBox* startAtLoginBox_ = nullptr;
    widgets::GraphicalButton* closeButton_ = nullptr;
};

} // namespace calmfield::routineswindow
