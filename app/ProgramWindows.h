#pragma once

#include "desktop/UrlOpener.h"
#include "recorder/windows/RecorderServices.h"
#include "session/ProgramActions.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QSet>

#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace calmfield::recorder {
class RecorderWindow;
class SaveNameDialog;
class TroubleshootingWindow;
} // namespace calmfield::recorder

namespace calmfield::info {
class AboutWindow;
class ContactWindow;
} // namespace calmfield::info

namespace calmfield::shell {
class MainWindow;
}

namespace calmfield::tone {
class ToneWindow;
}

namespace calmfield::drift {
class DriftWindow;
}

namespace calmfield::routineswindow {
class RoutinesWindow;
}

namespace calmfield::app {

// The program's windows other than the main one, each made at most once, and the rule that the
// program ends when its last open window has closed. A window hidden without closing, as the main
// window is in the tray, still counts as open.
class ProgramWindows : public QObject {
    Q_OBJECT

  public:
    // Without `recorder` the program has no sound recorder: showRecorder() and showSaveName()
    // show nothing.
    explicit ProgramWindows(
        desktop::UrlOpener openUrl,
        std::function<void()> endProgram = [] { QCoreApplication::exit(0); },
        std::optional<recorder::RecorderServices> recorder = std::nullopt);
    // Closes the capture element of a recorder window still open.
    ~ProgramWindows() override;

    // Counts `window` as open from when it is shown until it closes.
    void track(QWidget* window);
    // Tracks the main window and shows the windows its menus and buttons ask for.
    void adoptMainWindow(shell::MainWindow& window);
    // Closes every window still open, hidden ones too, each as the user would; the program ends
    // as the last one closes.
    void closeAll();
    // Shows the main window as the tray icon does, or once it has closed, brings the windows that
    // keep the program running forward. The window shown, or null when none is open.
    QWidget* showProgram();
    // As the menu's Exit: closes the main window, or once it has closed, every window.
    void exit();
    // showProgram() and exit(), for the media controls.
    session::ProgramActions actions();

    // Shows the about or contact window, or brings the one already open to the front.
    void showAbout();
    void showContact();
    // Shows the recorder window, the save-name dialog or the troubleshooting window, or brings the
    // one already open to the front. The recorder window and the save-name dialog are made anew
    // after each closing.
    void showRecorder();
    void showSaveName();
    void showTroubleshooting();
    // Shows the tone window over the main window's player, or brings the one already open to the
    // front. It is made anew after each closing, and closes with the main window, whose player it
    // shows.
    void showTone();
    // The same for the drift window.
    void showDrift();
    // The same for the routines window, made by `make`; without it there is none.
    void makeRoutinesWindowWith(std::function<routineswindow::RoutinesWindow*()> make);
    void showRoutines();
    // Brings every open window to the front, the dialogs last so that they stay on top. The one
    // brought forward last, or null when none is open.
    QWidget* bringOpenWindowsForward();

    info::AboutWindow* aboutWindow() const { return about_.get(); }
    info::ContactWindow* contactWindow() const { return contact_.get(); }
    recorder::TroubleshootingWindow* troubleshootingWindow() const {
        return troubleshooting_.get();
    }
    // The open one, or null.
    recorder::RecorderWindow* recorderWindow() const;
    recorder::SaveNameDialog* saveNameDialog() const;
    tone::ToneWindow* toneWindow() const;
    drift::DriftWindow* driftWindow() const;
    routineswindow::RoutinesWindow* routinesWindow() const;
    int openWindowCount() const { return static_cast<int>(open_.size()); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void placeOverRecorder(QWidget* window);
    static void bringForward(QWidget* window);

    desktop::UrlOpener openUrl_;
    std::function<void()> endProgram_;
    std::optional<recorder::RecorderServices> recorderServices_;
    QSet<QObject*> open_;
    QPointer<shell::MainWindow> mainWindow_;
    std::unique_ptr<info::AboutWindow> about_;
    std::unique_ptr<info::ContactWindow> contact_;
    std::unique_ptr<recorder::TroubleshootingWindow> troubleshooting_;
    QPointer<recorder::RecorderWindow> recorder_;
    QPointer<recorder::SaveNameDialog> saveName_;
    QPointer<tone::ToneWindow> tone_;
    QPointer<drift::DriftWindow> drift_;
    std::function<routineswindow::RoutinesWindow*()> makeRoutines_;
    QPointer<routineswindow::RoutinesWindow> routines_;
};

} // namespace calmfield::app
