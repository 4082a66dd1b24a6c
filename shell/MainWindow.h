#pragma once

#include "engine/ChannelBank.h"
#include "engine/NoiseColours.h"
#include "engine/SoundOutput.h"
#include "platform/FileDialog.h"
#include "platform/MediaPlayer.h"
#include "platform/UrlOpener.h"
#include "platform/VolumePort.h"
#include "shell/MixFader.h"
#include "shell/SleepTimer.h"
#include "widgets/CheckBox.h"
#include "widgets/ClientArea.h"
#include "widgets/GraphicalButton.h"
#include "widgets/MessageSink.h"
#include "widgets/Slider.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace calmfield::shell {

// What the main window reaches the world through.
struct MainWindowServices {
    engine::SoundOutput& output;
    platform::VolumePort& volume;
    widgets::MessageSink& messages;
    // Holds the sound files, the colour pictures and the help page.
    std::filesystem::path programFolder;
    platform::UrlOpener openUrl;
    // Whether the desktop offers a tray for the program's icon.
    std::function<bool()> trayAvailable;
    // The dialog in which configuration files are chosen; when null the window makes the
    // desktop's own.
    platform::FileDialog* fileDialog;
    // The user's own folder for the startup settings file, used when the program's folder cannot
    // take it.
    std::filesystem::path userSettingsFolder;
    // The sleep timer's clock; when null, the time since the computer started.
    SleepClock sleepClock = {};
};

// The main window: the five noise colours with their toggles, volume and frequency sliders and
// frequency readouts, panning, master volume, Mute and Reset All. It owns the channel bank.
class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    static constexpr std::chrono::milliseconds kMixerTimeout{3000};

    explicit MainWindow(MainWindowServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up sequence: opens the speakers' volume, adds the tray icon, shows the window,
    // sets up the channels and arms the start-in-tray timer. When the volume cannot be opened it
    // says so and goes no further; the window is shown either way.
    void startUp();

    // Opens the sound device and creates the five channels, applies the startup settings file,
    // then gives each channel its volume slider's value. Tells the user when the device, a sound
    // file or the settings file cannot be used.
    void Initialise();
    // Arms the start-in-tray timer when "Start in system tray" is ticked.
    void PlaySound();
    // Stops every channel and moves it back to its start.
    void StopSound();

    // Runs the sleep timer for `duration` from now, as its menu items do, checking the item of
    // that duration or, when none has it, no item.
    void startSleepTimer(std::chrono::milliseconds duration);
    const SleepTimer& sleepTimer() const { return sleepTimer_; }
    // "Calmfield", and whether the mix is paused and, while the sleep timer runs, how long is
    // left.
    QString trayToolTip() const;

    // Fades the mix out to a pause, or back in; every control stays as it is. Ticking a colour on
    // also ends a pause.
    void pause();
    void play();
    bool paused() const { return fader_.paused(); }
    // What the desktop's media controls show of the mix.
    platform::MediaPlayer::State mediaState() const;

    // Shows the window again at its normal size, from the tray or minimised.
    void RestoreWindow();
    // Hides the window to the tray; on a desktop without a tray it minimises it instead, so that
    // the way back stays in sight.
    void hideToTray();

    engine::ChannelBank& bank() { return bank_; }
    QSystemTrayIcon* trayIcon() const { return trayIcon_.get(); }

    // The controls, each under the name the rest of the program knows it by.
    QMenu* m = nullptr;
    QAction* load = nullptr;
    QAction* save = nullptr;
    QMenu* sleepMenu = nullptr; // "Sleep Timer": "Off", then the durations
    QAction* sep = nullptr;
    QAction* exit = nullptr;
    QMenu* help = nullptr;
    QAction* help2 = nullptr;
    QAction* jhg = nullptr;
    QAction* sep2 = nullptr;
    QAction* about = nullptr;

    QGroupBox* Frame1 = nullptr; // "Sound Color"
    QGroupBox* Frame2 = nullptr; // "Volumes"
    QGroupBox* Frame3 = nullptr; // "Frequency"
    QGroupBox* Frame4 = nullptr; // "Options"
    QGroupBox* Frame5 = nullptr; // holds Reset All

    widgets::CheckBox* Check1 = nullptr; // brown
    widgets::CheckBox* Check2 = nullptr; // pink
    widgets::CheckBox* Check3 = nullptr; // white
    widgets::CheckBox* Check4 = nullptr; // blue
    widgets::CheckBox* Check5 = nullptr; // purple
    widgets::CheckBox* Check6 = nullptr; // "Start in system tray"

    widgets::Slider* HScroll1 = nullptr; // panning
    widgets::Slider* HScroll2 = nullptr; // master volume
    widgets::Slider* HScroll3 = nullptr; // volumes, brown to purple
    widgets::Slider* HScroll4 = nullptr;
    widgets::Slider* HScroll5 = nullptr;
    widgets::Slider* HScroll6 = nullptr;
    widgets::Slider* HScroll7 = nullptr;
    widgets::Slider* HScroll8 = nullptr; // frequencies, brown to purple
    widgets::Slider* HScroll9 = nullptr;
    widgets::Slider* HScroll10 = nullptr;
    widgets::Slider* HScroll11 = nullptr;
    widgets::Slider* HScroll12 = nullptr;

    QLabel* Label1 = nullptr; // frequency readouts: brown, pink, white, blue, purple
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label4 = nullptr; // "Panning"
    QLabel* Label5 = nullptr; // "Master Vol"
    // The "hz" units: index 0 on the top row, then 4, 3, 2, 1 downwards.
    std::array<QLabel*, 5> Label8{};

    QLabel* Picture1 = nullptr; // the colour picture

    widgets::GraphicalButton* Command1 = nullptr; // "Close"
    widgets::GraphicalButton* Command2 = nullptr; // "Tray"
    widgets::GraphicalButton* Command3 = nullptr; // "Record"
    widgets::GraphicalButton* Command4 = nullptr; // "Mute"
    widgets::GraphicalButton* Command6 = nullptr; // "Reset All"

    platform::FileDialog* CommonDialog1 = nullptr; // chooses configuration files

    QTimer* Timer3 = nullptr; // refreshes the frequency readouts
    QTimer* Timer5 = nullptr; // hides the window after start-up when "Start in system tray" is on

  signals:
    // The user asked for the about window, the contact window or the recorder.
    void aboutRequested();
    void contactRequested();
    void recorderRequested();
    // The sleep timer's time is up: the program is to end, whatever is open.
    void sleepTimerEnded();
    // What mediaState() gives may have changed.
    void mediaStateMayHaveChanged();

  protected:
    // The shutdown sequence, whichever way the window closes.
    void closeEvent(QCloseEvent* event) override;
    // The readouts tick only while the window can be seen: in the tray or minimised they rest,
    // and they are brought up to date the moment the window shows again.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    // Building the window (MainWindowLayout.cpp).
    void buildWindow();
    void buildMenus();
    void buildControls(widgets::ClientArea* client);
    void setTabOrderAndFocus();
    void buildTimers();
    void buildSleepMenu();

    // Handlers.
    void connectHandlers();
    void toggleClicked(int colour);
    void volumeChanged(int colour);
    void frequencyChanged(int colour);
    void panningChanged();
    void masterVolumeChanged();
    void muteClicked();
    void resetAllClicked();
    void readoutTick();
    void startInTrayTick();
    void trayActivated(QSystemTrayIcon::ActivationReason reason);
    void closeClicked();
    void helpClicked();
    void saveClicked();
    void loadClicked();

    // The sleep timer (MainWindowSleep.cpp).
    void connectSleepTimer();
    void sleepItemChosen(QAction* item);
    void checkSleepItem(std::chrono::milliseconds duration);
    void showTrayToolTip();

    // What the media controls show (MainWindowMedia.cpp).
    void noteTicked(int colour, bool ticked);
    QUrl artUrl() const;
    // Brings the tray icon's tooltip up to date and emits mediaStateMayHaveChanged().
    void announceMediaState();

    void addTrayIcon();
    void deleteTrayIcon();
    void queryUnload();
    void unload();

    // Configuration files and the startup settings file (MainWindowMixes.cpp).
    void prepareCommonDialog();
    void readStartupSettings();
    void writeStartupSettings();
    void setChannelFrequenciesFromSliders();
    void setChannelVolumesFromSliders();

    void showColourPicture(int colour);

    std::array<widgets::CheckBox*, engine::kColourCount> toggles() const;
    std::array<widgets::Slider*, engine::kColourCount> volumeSliders() const;
    std::array<widgets::Slider*, engine::kColourCount> frequencySliders() const;
    std::array<QLabel*, engine::kColourCount> readouts() const;
    // The controls a configuration file holds, in its field order.
    std::array<QWidget*, 15> configurationControls() const;

    platform::VolumePort& volume_;
    std::filesystem::path programFolder_;
    widgets::MessageSink& messages_;
    platform::UrlOpener openUrl_;
    std::function<bool()> trayAvailable_;
    std::filesystem::path userSettingsFolder_;
    std::unique_ptr<platform::FileDialog> ownCommonDialog_;
    engine::ChannelBank bank_;
    SleepTimer sleepTimer_;
    MixFader fader_;
    std::unique_ptr<QSystemTrayIcon> trayIcon_;
    // The frequency each readout shows, so that a tick rewrites only those that changed.
    std::array<std::optional<std::int32_t>, engine::kColourCount> shownFrequencies_{};
    // The ticked colours, the most recently ticked first.
    std::vector<int> tickedColours_;
    std::int16_t muteCount_ = 0;
    std::int16_t savedMasterVolume_ = 0;
    // Whether start-up got as far as the startup settings file; until then closing leaves an
    // existing one as it is.
    bool startupSettingsRead_ = false;
};

} // namespace calmfield::shell
