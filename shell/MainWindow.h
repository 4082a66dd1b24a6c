#pragma once

#include "desktop/AutostartEntry.h"
#include "desktop/FileDialog.h"
#include "desktop/UrlOpener.h"
#include "player/MixPlayer.h"
#include "player/RecentMixes.h"
#include "session/MessageSink.h"
#include "shell/RecentMixesMenu.h"
#include "shell/SleepMenu.h"
#include "shell/TrayHostWatch.h"
#include "shell/TrayIcon.h"
#include "widgets/CheckBox.h"
#include "widgets/GraphicalButton.h"
#include "widgets/Slider.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QTimer>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>

namespace calmfield::shell {

// What the main window reaches the world through.
struct MainWindowServices {
    // What the window shows and changes; it outlives the window.
    player::MixPlayer& player;
    player::RecentMixes& recentMixes;
    session::MessageSink& messages;
    // Holds the sound files, the colour pictures and the help page.
    std::filesystem::path programFolder;
    desktop::UrlOpener openUrl;
    // Whether the desktop offers a tray for the program's icon.
    std::function<bool()> trayAvailable;
    // The dialog in which configuration files are chosen; when null the window makes the
    // desktop's own.
    desktop::FileDialog* fileDialog;
    // Whether a minimised window can be found again, as in an X11 taskbar. Where it may not (on
    // Wayland a desktop may ignore minimising or leave no way back), "Tray" without a tray hides
    // the window instead.
    bool minimisedWindowsStayReachable = true;
    // The next start or end of a routine, for the tray's tooltip; empty while none is to come.
    std::function<QString()> routinesLine = [] { return QString(); };
    // Whether a routine is on, so that the sleep timer's end pauses rather than ends the run.
    std::function<bool()> routineOn = [] { return false; };
};

// The main window: a view of the mix player, which outlives it. It hands the user's changes to the
// player and shows the player's state in its controls, the colour picture, the readouts and the
// tray icon.
class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    static constexpr std::chrono::milliseconds kStartInTrayDelay{500};
    template <typename Control> using PerColour = std::array<Control*, engine::kColourCount>;

    explicit MainWindow(MainWindowServices services, QWidget* parent = nullptr);

    // Start-up shows the window with its tray icon, and when the channels are set up runs the
    // start-in-tray timer, which hides the window as it fires if "Start in system tray" is ticked.
    void showAtStart();
    void runStartInTrayTimer() { startInTrayTimer_->start(); }
    // Arms the start-in-tray timer when "Start in system tray" is ticked.
    void armStartInTrayTimer();

    // Shows the window again at its normal size, from the tray or minimised.
    void restoreWindow();
    // Hides the window to the tray. Without a tray it minimises it instead, so that the way back
    // stays in sight, or hides it where a minimised window may not be found again.
    void hideToTray();
    // Adds the tray icon when the desktop now offers a tray and the window has none.
    void trayMayHaveAppeared();

    // The main menu's "Keep awake" item, which the program's keeping awake ticks and follows.
    QAction& keepAwakeItem() { return *keepAwakeAction_; }
    // Says on that item whether the desktop refused to keep the computer awake.
    void showKeepAwakeRefused(bool refused);
    // The main menu's "Start at Login" item, ticked while the autostart entry is there.
    QAction& startAtLoginItem() { return *startAtLoginAction_; }
    // The routines or their next event changed: the tooltip and the sleep timer's menu follow.
    void showRoutines();
    // The player the window is a view of, for the program's other views of it.
    player::MixPlayer& player() const { return player_; }

  signals:
    // The user asked for the about window, the contact window or the recorder.
    void aboutRequested();
    void contactRequested();
    void recorderRequested();
    // The user asked for the tone window or the drift window.
    void toneRequested();
    void driftRequested();
    // The user asked for the routines window.
    void routinesRequested();
    // The window has closed, whichever way: the run's sound is to end.
    void closed();

  protected:
    // The shutdown sequence, whichever way the window closes.
    void closeEvent(QCloseEvent* event) override;

  private:
    // Building the window (MainWindowLayout.cpp).
    void buildWindow();
    void buildMenus();
    void buildControls(QWidget* client);
    void buildFrequencyFrame(QWidget* frame);
    void setTabOrderAndFocus();

    // Between the controls and the player.
    void forwardUserChanges();
    void mirrorPlayer();
    void connectCommands();
    void showColourPicture(int colour);

    void startInTrayTimedOut();
    void trayClicked();
    void closeClicked();
    void helpClicked();
    void addTrayIcon();
    void removeTrayIcon();
    // Configuration files.
    void prepareFileDialog();
    QString configurationFolder() const;
    void saveClicked();
    void loadClicked();
    void recentMixChosen(const QString& path);

    void connectSleepTimer();
    void showTrayToolTip();
    // Writes or removes the autostart entry as the item is ticked or unticked.
    void startAtLoginToggled(bool ticked);

    std::filesystem::path programFolder_;
    session::MessageSink& messages_;
    desktop::UrlOpener openUrl_;
    std::function<bool()> trayAvailable_;
    std::unique_ptr<desktop::FileDialog> ownFileDialog_;
    desktop::FileDialog* fileDialog_;
    player::MixPlayer& player_;
    player::RecentMixes& recentMixes_;
    bool minimisedWindowsStayReachable_;
    std::function<QString()> routinesLine_;
    std::function<bool()> routineOn_;
    std::unique_ptr<TrayIcon> trayIcon_;
    desktop::AutostartEntry autostart_;
    std::unique_ptr<TrayHostWatch> trayWatch_;
    bool noTrayExplained_ = false;

    // The controls by role, each colour's brown to purple.
    PerColour<widgets::CheckBox> colourToggles_{};
    PerColour<widgets::Slider> volumeSliders_{};
    PerColour<widgets::Slider> frequencySliders_{};
    PerColour<QLabel> frequencyReadouts_{};
    widgets::Slider* panningSlider_ = nullptr;
    widgets::Slider* masterVolumeSlider_ = nullptr;
    widgets::CheckBox* startInTrayBox_ = nullptr;
    QLabel* colourPicture_ = nullptr;
    widgets::GraphicalButton* muteButton_ = nullptr;
    widgets::GraphicalButton* resetAllButton_ = nullptr;
    widgets::GraphicalButton* recordButton_ = nullptr;
    widgets::GraphicalButton* trayButton_ = nullptr;
    widgets::GraphicalButton* closeButton_ = nullptr;
    QTimer* startInTrayTimer_ = nullptr;

    QMenu* mainMenu_ = nullptr;
    QAction* loadAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    RecentMixesMenu* recentMixesMenu_ = nullptr;
    SleepMenu* sleepMenu_ = nullptr;
    QAction* startAtLoginAction_ = nullptr;
    QAction* keepAwakeAction_ = nullptr;
    QAction* toneAction_ = nullptr;
    QAction* driftAction_ = nullptr;
    QAction* routinesAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QAction* helpAction_ = nullptr;
    QAction* contactAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
};

} // namespace calmfield::shell
