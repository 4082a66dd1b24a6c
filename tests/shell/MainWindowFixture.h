#pragma once

#include "app/WindowRun.h"
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

namespace calmfield::testsupport {

// The main window, given as itself, a pointer to it or its owner.
struct Window {
    Window(const QObject& form) : object(&form) {}
    Window(const QObject* form) : object(form) {}
    template <typename W> Window(const QPointer<W>& form) : object(form.data()) {}
    template <typename W> Window(const std::unique_ptr<W>& form) : object(form.get()) {}
    const QObject* object;
};

// The main window's controls by role, found by their names in the layout table.
template <typename Control = QWidget>
Control* control(Window form, const widgets::ControlRow& row) {
    return testsupport::named<Control>(form.object, row.name);
}
template <typename Control> Control* menuEntry(Window form, const shell::layout::MenuRow& row) {
    return testsupport::named<Control>(form.object, row.name);
}
template <typename Control>
std::array<Control*, engine::kColourCount> perColour(Window form,
                                                     const shell::layout::PerColour& rows) {
    std::array<Control*, engine::kColourCount> found{};
    for (std::size_t colour = 0; colour < rows.size(); ++colour)
        found[colour] = control<Control>(form, rows[colour]);
    return found;
}

namespace role {
using namespace shell::layout;
using Button = widgets::GraphicalButton;
using widgets::CheckBox;
using widgets::Slider;
constexpr auto colourToggles = [](Window w) { return perColour<CheckBox>(w, kColourToggles); };
constexpr auto volumeSliders = [](Window w) { return perColour<Slider>(w, kVolumeSliders); };
constexpr auto frequencySliders = [](Window w) { return perColour<Slider>(w, kFrequencySliders); };
constexpr auto frequencyReadouts = [](Window w) {
    return perColour<QLabel>(w, kFrequencyReadouts);
};
constexpr auto panningSlider = [](Window w) { return control<Slider>(w, kPanningSlider); };
constexpr auto masterVolumeSlider = [](Window w) {
    return control<Slider>(w, kMasterVolumeSlider);
};
constexpr auto startInTrayBox = [](Window w) { return control<CheckBox>(w, kStartInTrayBox); };
constexpr auto colourPictureBox = [](Window w) { return control<QLabel>(w, kColourPicture); };
constexpr auto muteButton = [](Window w) { return control<Button>(w, kMuteButton); };
constexpr auto resetAllButton = [](Window w) { return control<Button>(w, kResetAllButton); };
constexpr auto recordButton = [](Window w) { return control<Button>(w, kRecordButton); };
constexpr auto trayButton = [](Window w) { return control<Button>(w, kTrayButton); };
constexpr auto closeButton = [](Window w) { return control<Button>(w, kCloseButton); };
constexpr auto mainMenu = [](Window w) { return menuEntry<QMenu>(w, kMainMenu); };
constexpr auto helpMenu = [](Window w) { return menuEntry<QMenu>(w, kHelpMenu); };
constexpr auto loadAction = [](Window w) { return menuEntry<QAction>(w, kLoadItem); };
constexpr auto saveAction = [](Window w) { return menuEntry<QAction>(w, kSaveItem); };
constexpr auto startAtLoginAction = [](Window w) {
    return menuEntry<QAction>(w, kStartAtLoginItem);
};
constexpr auto keepAwakeAction = [](Window w) { return menuEntry<QAction>(w, kKeepAwakeItem); };
constexpr auto exitAction = [](Window w) { return menuEntry<QAction>(w, kExitItem); };
constexpr auto helpAction = [](Window w) { return menuEntry<QAction>(w, kHelpItem); };
constexpr auto contactAction = [](Window w) { return menuEntry<QAction>(w, kContactItem); };
constexpr auto aboutAction = [](Window w) { return menuEntry<QAction>(w, kAboutItem); };
} // namespace role
using namespace role;

inline QTimer* startInTrayTimer(Window form) {
    return testsupport::named<QTimer>(form.object, shell::layout::kStartInTrayTimerName);
}
inline shell::RecentMixesMenu* recentMixesMenu(Window form) {
    return testsupport::named<shell::RecentMixesMenu>(form.object, "recentMixesMenu");
}
inline shell::SleepMenu* sleepMenu(Window form) {
    return testsupport::named<shell::SleepMenu>(form.object, "sleepMenu");
}
// The window's tray icon, or null while it has none.
inline QSystemTrayIcon* trayIcon(Window form) {
    return form.object->findChild<QSystemTrayIcon*>();
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
WindowState stateOf(shell::MainWindow& form, engine::ChannelBank& bank);
void PrintTo(const WindowState& state, std::ostream* out);

// What one start of the fixture's program differs in from the usual.
struct StartWith {
    // The sound output and the messages' sink: the fixture's own when null.
    engine::SoundOutput* sound = nullptr;
    session::MessageSink* messages = nullptr;
    // The desktop's own file dialog rather than the scripted one.
    bool desktopDialog = false;
    // What ends the program once its last window has closed; counting programEndings when null.
    std::function<void()> endProgram{};
    // For the media controls and keeping the computer awake; none unless given.
    std::optional<QDBusConnection> sessionBus{};
};

// How the fixture's program folder and devices are made, and whether it starts up at once.
struct FixtureSetUp {
    // A private one linked to the built program's files when empty.
    std::filesystem::path programFolder{};
    bool deviceAvailable = true;
    bool volumePortReachable = true;
    bool startUp = true;
};

// The program run with its windows over an in-memory sound output at the sound files' own rate,
// so that a channel playing at that rate renders its samples unchanged, and a fake volume port.
// Its program folder is a private one, linked to the built one's files, unless another is given;
// its settings folder for the user is private too, and not yet made. Configuration files are
// chosen in a scripted dialog.
class MainWindowFixture : public ::testing::Test {
  protected:
    explicit MainWindowFixture(FixtureSetUp setUp = {});
    ~MainWindowFixture() override;

    // Assembles the run anew over the same fakes and folders and starts it up, without closing
    // the old one's windows.
    void startAgain(StartWith with = {});
    // The same without starting it up.
    void assemble(StartWith with = {});

    engine::NoiseChannel& channel(int colour);
    QImage shownPicture() const;

    // The frame of its sound at which the colour's channel, the only one playing, goes on.
    long playingPosition(int colour);

    QTemporaryDir scratch;
    std::filesystem::path folder;
    std::filesystem::path userFolder;
    testsupport::ScriptedFileDialog dialog;
    testsupport::MemorySoundOutput output;
    testsupport::FakeVolumePort volumePort;
    testsupport::RecordingMessageSink messages;
    QList<QUrl> openedAddresses;
    bool trayAvailable = true;
    // As on X11; on Wayland it is false.
    bool minimisedWindowsStayReachable = true;
    // The time the sleep timer reads.
    std::chrono::milliseconds clockTime{1'000'000};
    // The wall clock routines read, in seconds since the epoch, in universal time; no alarm is
    // armed, so a test moves the clock and has the routines look again.
    qint64 wallClock = 1'800'000'000;
    int programEndings = 0;
    // How often the run stopped waiting for a user, as it does when it is ended from outside.
    int stoppedWaiting = 0;
    std::unique_ptr<app::WindowRun> run;
    // The run's parts.
    app::ProgramWindows* windows = nullptr;
    session::NoiseSession* session = nullptr;
    engine::ChannelBank* bank = nullptr;
    QPointer<shell::MainWindow> form;
};

} // namespace calmfield::testsupport
