#pragma once

#include "app/NoiseSession.h"
#include "app/ProgramWindows.h"
#include "engine/SoundBuffer.h"
#include "shell/MainWindow.h"
#include "shell/MainWindowLayoutTable.h"
#include "tests/support/FakeVolumePort.h"
#include "tests/support/MemorySoundOutput.h"
#include "tests/support/NamedControl.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/ScriptedFileDialog.h"
#include "tests/support/WindowTestHelpers.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QSize& size, std::ostream* out) {
    *out << size.width() << " x " << size.height();
}
inline void PrintTo(const QRect& rect, std::ostream* out) {
    *out << "(" << rect.x() << ", " << rect.y() << ", " << rect.width() << ", " << rect.height()
         << ")";
}

namespace calmfield::testing {

using testsupport::builtProgramFolder;
using testsupport::contentOf;
using testsupport::linkedProgramFolder;
using testsupport::putFile;
using testsupport::waitUntil;

// The main window's controls by role, found by their names in the layout table: `form` is the
// window, a pointer to it or its owner.
inline const QObject* objectOf(const QObject& form) {
    return &form;
}
inline const QObject* objectOf(const QObject* form) {
    return form;
}
template <typename Window> const QObject* objectOf(const std::unique_ptr<Window>& form) {
    return form.get();
}

template <typename Control, typename Form>
std::array<Control*, engine::kColourCount> perColour(const Form& form,
                                                     const shell::layout::PerColour& rows) {
    std::array<Control*, engine::kColourCount> found{};
    for (std::size_t colour = 0; colour < rows.size(); ++colour)
        found[colour] = testsupport::named<Control>(objectOf(form), rows[colour].name);
    return found;
}
template <typename Control = QWidget, typename Form>
Control* control(const Form& form, const widgets::ControlRow& row) {
    return testsupport::named<Control>(objectOf(form), row.name);
}
template <typename Control, typename Form>
Control* menuEntry(const Form& form, const shell::layout::MenuRow& row) {
    return testsupport::named<Control>(objectOf(form), row.name);
}

template <typename Form> auto colourToggles(const Form& form) {
    return perColour<widgets::CheckBox>(form, shell::layout::kColourToggles);
}
template <typename Form> auto volumeSliders(const Form& form) {
    return perColour<widgets::Slider>(form, shell::layout::kVolumeSliders);
}
template <typename Form> auto frequencySliders(const Form& form) {
    return perColour<widgets::Slider>(form, shell::layout::kFrequencySliders);
}
template <typename Form> auto frequencyReadouts(const Form& form) {
    return perColour<QLabel>(form, shell::layout::kFrequencyReadouts);
}
template <typename Form> widgets::Slider* panningSlider(const Form& form) {
    return control<widgets::Slider>(form, shell::layout::kPanningSlider);
}
template <typename Form> widgets::Slider* masterVolumeSlider(const Form& form) {
    return control<widgets::Slider>(form, shell::layout::kMasterVolumeSlider);
}
template <typename Form> widgets::CheckBox* startInTrayBox(const Form& form) {
    return control<widgets::CheckBox>(form, shell::layout::kStartInTrayBox);
}
template <typename Form> QLabel* colourPicture(const Form& form) {
    return control<QLabel>(form, shell::layout::kColourPicture);
}
template <typename Form> widgets::GraphicalButton* muteButton(const Form& form) {
    return control<widgets::GraphicalButton>(form, shell::layout::kMuteButton);
}
template <typename Form> widgets::GraphicalButton* resetAllButton(const Form& form) {
    return control<widgets::GraphicalButton>(form, shell::layout::kResetAllButton);
}
template <typename Form> widgets::GraphicalButton* recordButton(const Form& form) {
    return control<widgets::GraphicalButton>(form, shell::layout::kRecordButton);
}
template <typename Form> widgets::GraphicalButton* trayButton(const Form& form) {
    return control<widgets::GraphicalButton>(form, shell::layout::kTrayButton);
}
template <typename Form> widgets::GraphicalButton* closeButton(const Form& form) {
    return control<widgets::GraphicalButton>(form, shell::layout::kCloseButton);
}
template <typename Form> QTimer* startInTrayTimer(const Form& form) {
    return testsupport::named<QTimer>(objectOf(form), shell::layout::kStartInTrayTimerName);
}
template <typename Form> QMenu* mainMenu(const Form& form) {
    return menuEntry<QMenu>(form, shell::layout::kMainMenu);
}
template <typename Form> QMenu* helpMenu(const Form& form) {
    return menuEntry<QMenu>(form, shell::layout::kHelpMenu);
}
template <typename Form> QAction* loadAction(const Form& form) {
    return menuEntry<QAction>(form, shell::layout::kLoadItem);
}
template <typename Form> QAction* saveAction(const Form& form) {
    return menuEntry<QAction>(form, shell::layout::kSaveItem);
}
template <typename Form> QAction* startAtLoginAction(const Form& form) {
    return menuEntry<QAction>(form, shell::layout::kStartAtLoginItem);
}
template <typename Form> QAction* keepAwakeAction(const Form& form) {
    return menuEntry<QAction>(form, shell::layout::kKeepAwakeItem);
}
template <typename Form> QAction* exitAction(const Form& form) {
    return menuEntry<QAction>(form, shell::layout::kExitItem);
}
template <typename Form> QAction* helpAction(const Form& form) {
    return menuEntry<QAction>(form, shell::layout::kHelpItem);
}
template <typename Form> QAction* contactAction(const Form& form) {
    return menuEntry<QAction>(form, shell::layout::kContactItem);
}
template <typename Form> QAction* aboutAction(const Form& form) {
    return menuEntry<QAction>(form, shell::layout::kAboutItem);
}
template <typename Form> shell::RecentMixesMenu* recentMixesMenu(const Form& form) {
    return testsupport::named<shell::RecentMixesMenu>(objectOf(form), "recentMixesMenu");
}
template <typename Form> shell::SleepMenu* sleepMenu(const Form& form) {
    return testsupport::named<shell::SleepMenu>(objectOf(form), "sleepMenu");
}
// The window's tray icon, or null while it has none.
template <typename Form> QSystemTrayIcon* trayIcon(const Form& form) {
    return objectOf(form)->template findChild<QSystemTrayIcon*>();
}

// The colour picture as the program's folder holds it, or a null image.
QImage colourPicture(const std::filesystem::path& folder, int colour);

// The 15 values a configuration file holds, from the window's controls in field order; with
// `withStartInTray` also "Start in system tray", as the startup settings file holds it.
std::vector<int> mixOf(const shell::MainWindow& form, bool withStartInTray = false);
// Sets the same controls as mixOf reads, through the controls.
void setMix(shell::MainWindow& form, const std::vector<int>& values);

// Everything loading a mix or starting up could change: every check box and slider, what each
// channel is doing, the picture shown and whether the start-in-tray timer is armed.
struct WindowState {
    std::vector<int> controls;
    std::vector<std::string> channels;
    qint64 picture = 0;
    bool trayTimerArmed = false;
    bool operator==(const WindowState&) const = default;
};
WindowState stateOf(shell::MainWindow& form, player::MixPlayer& player);
void PrintTo(const WindowState& state, std::ostream* out);

// A main window over an in-memory sound output at the sound files' own rate, so that a channel
// playing at that rate renders its samples unchanged. Its program folder is a private one, linked
// to the built one's files, unless another is given; its settings folder for the user is private
// too, and not yet made. Configuration files are chosen in a scripted dialog.
class MainWindowFixture : public ::testing::Test {
  protected:
    explicit MainWindowFixture(std::filesystem::path programFolder = {},
                               bool deviceAvailable = true);

    // Replaces the window by a new one over the same fakes and folders and starts it up, without
    // closing the old one.
    void startAgain();

    engine::NoiseChannel& channel(int colour);
    QImage shownPicture() const;

    // The frame of its sound at which the only playing channel goes on, found by rendering past a
    // fade-in and matching what comes out against the sound; -1 when nothing matches.
    long playingPosition(int colour);

    // A session over `sound`, the fake speakers and these folders, telling `told`.
    std::unique_ptr<app::NoiseSession> sessionOver(engine::SoundOutput& sound,
                                                   widgets::MessageSink& told);
    // Makes `form` anew over `session` with `services`, its closing ending the session's sound.
    void makeWindow(shell::MainWindowServices services);
    // The services of a main window over the session and these fakes; the desktop opens nothing
    // and offers a tray when `trayAvailable` says so.
    shell::MainWindowServices services();

    QTemporaryDir scratch;
    std::filesystem::path folder;
    std::filesystem::path userFolder;
    testsupport::ScriptedFileDialog dialog;
    testsupport::MemorySoundOutput output;
    testsupport::FakeVolumePort speakers;
    testsupport::RecordingMessageSink messages;
    QList<QUrl> openedAddresses;
    bool trayAvailable = true;
    // As on X11; on Wayland it is false.
    bool minimisedWindowsStayReachable = true;
    // The time the sleep timer reads.
    std::chrono::milliseconds clockTime{1'000'000};
    int programEndings = 0;
    app::ProgramWindows windows{[this](const QUrl& address) {
                                    openedAddresses.append(address);
                                    return false;
                                },
                                [this] { ++programEndings; }};
    std::unique_ptr<app::NoiseSession> session;
    std::unique_ptr<shell::MainWindow> form;
};

} // namespace calmfield::testing
