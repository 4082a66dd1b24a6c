#include "app/ProgramWindows.h"

#include "drift/DriftWindow.h"
#include "info/AboutWindow.h"
#include "info/ContactWindow.h"
#include "recorder/windows/RecorderWindow.h"
#include "recorder/windows/SaveNameDialog.h"
#include "recorder/windows/TroubleshootingWindow.h"
#include "routineswindow/RoutinesWindow.h"
#include "shell/MainWindow.h"
#include "tone/ToneWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace calmfield::app {

ProgramWindows::ProgramWindows(desktop::UrlOpener openUrl, std::function<void()> endProgram,
                               std::optional<recorder::RecorderServices> recorder)
    : openUrl_(std::move(openUrl)), endProgram_(std::move(endProgram)),
      recorderServices_(std::move(recorder)) {}

ProgramWindows::~ProgramWindows() {
    delete routines_.data();
    delete drift_.data();
    delete tone_.data();
    delete saveName_.data();
    delete recorder_.data();
}

void ProgramWindows::track(QWidget* window) {
    window->installEventFilter(this);
    if (window->isVisible())
        open_.insert(window);
    connect(window, &QObject::destroyed, this, [this](QObject* gone) { open_.remove(gone); });
}

void ProgramWindows::adoptMainWindow(shell::MainWindow& window) {
    mainWindow_ = &window;
    track(&window);
    connect(&window, &shell::MainWindow::aboutRequested, this, &ProgramWindows::showAbout);
    connect(&window, &shell::MainWindow::contactRequested, this, &ProgramWindows::showContact);
    connect(&window, &shell::MainWindow::recorderRequested, this, &ProgramWindows::showRecorder);
    connect(&window, &shell::MainWindow::toneRequested, this, &ProgramWindows::showTone);
    connect(&window, &shell::MainWindow::driftRequested, this, &ProgramWindows::showDrift);
    connect(&window, &shell::MainWindow::routinesRequested, this, &ProgramWindows::showRoutines);
    connect(&window, &shell::MainWindow::closed, this, [this] {
        if (tone_)
            tone_->close();
        if (drift_)
            drift_->close();
        if (routines_)
            routines_->close();
    });
}

void ProgramWindows::closeAll() {
    // Closing one window may delete another, and changes the set of open ones.
    QList<QPointer<QWidget>> windows;
    for (QObject* window : std::as_const(open_))
        windows.append(qobject_cast<QWidget*>(window));
    for (const QPointer<QWidget>& window : windows) {
        if (window)
            window->close();
    }
}

QWidget* ProgramWindows::showProgram() {
    if (!mainWindow_)
        return bringOpenWindowsForward();
    mainWindow_->restoreWindow();
    return mainWindow_;
}

void ProgramWindows::exit() {
    if (mainWindow_)
        mainWindow_->close();
    else
        closeAll();
}

session::ProgramActions ProgramWindows::actions() {
    return {[this] { showProgram(); }, [this] { exit(); }};
}

bool ProgramWindows::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show) {
        open_.insert(watched);
    } else if (event->type() == QEvent::Close) {
        // No window of the program ever refuses to close.
        if (open_.remove(watched) && open_.isEmpty())
            endProgram_();
    }
    return QObject::eventFilter(watched, event);
}

void ProgramWindows::showAbout() {
    if (!about_) {
        about_ = std::make_unique<info::AboutWindow>(openUrl_);
        track(about_.get());
    }
    bringForward(about_.get());
}

void ProgramWindows::showContact() {
    if (!contact_) {
        contact_ = std::make_unique<info::ContactWindow>();
        track(contact_.get());
    }
    bringForward(contact_.get());
}

void ProgramWindows::showRecorder() {
    if (!recorderServices_)
        return;
    if (!recorder_) {
        recorder_ = new recorder::RecorderWindow(
            recorderServices_->commands, [this] { showSaveName(); },
            [this] { showTroubleshooting(); });
        track(recorder_);
    }
    bringForward(recorder_);
}

void ProgramWindows::showSaveName() {
    if (!recorderServices_)
        return;
    if (!saveName_) {
        saveName_ = new recorder::SaveNameDialog(*recorderServices_);
        track(saveName_);
    }
    placeOverRecorder(saveName_);
    bringForward(saveName_);
}

void ProgramWindows::showTroubleshooting() {
    if (!troubleshooting_) {
        troubleshooting_ = std::make_unique<recorder::TroubleshootingWindow>();
        track(troubleshooting_.get());
    }
    placeOverRecorder(troubleshooting_.get());
    bringForward(troubleshooting_.get());
}

void ProgramWindows::showTone() {
    if (!mainWindow_)
        return;
    if (!tone_) {
        tone_ = new tone::ToneWindow(mainWindow_->player());
        tone_->setAttribute(Qt::WA_DeleteOnClose);
        track(tone_);
    }
    bringForward(tone_);
}

void ProgramWindows::showDrift() {
    if (!mainWindow_)
        return;
    if (!drift_) {
        drift_ = new drift::DriftWindow(mainWindow_->player());
        drift_->setAttribute(Qt::WA_DeleteOnClose);
        track(drift_);
    }
    bringForward(drift_);
}

void ProgramWindows::makeRoutinesWindowWith(std::function<routineswindow::RoutinesWindow*()> make) {
    makeRoutines_ = std::move(make);
}

void ProgramWindows::showRoutines() {
    if (!mainWindow_ || !makeRoutines_)
        return;
    if (!routines_) {
        routines_ = makeRoutines_();
        routines_->setAttribute(Qt::WA_DeleteOnClose);
        track(routines_);
    }
    bringForward(routines_);
}

QWidget* ProgramWindows::bringOpenWindowsForward() {
    const QList<QWidget*> windows{about_.get(), contact_.get(), troubleshooting_.get(),
                                  tone_,        drift_,         routines_,
                                  recorder_,    saveName_};
    QWidget* last = nullptr;
    for (QWidget* window : windows) {
        if (window != nullptr && open_.contains(window)) {
            bringForward(window);
            last = window;
        }
    }
    return last;
}

recorder::RecorderWindow* ProgramWindows::recorderWindow() const {
    return recorder_.data();
}

recorder::SaveNameDialog* ProgramWindows::saveNameDialog() const {
    return saveName_.data();
}

tone::ToneWindow* ProgramWindows::toneWindow() const {
    return tone_.data();
}

drift::DriftWindow* ProgramWindows::driftWindow() const {
    return drift_.data();
}

routineswindow::RoutinesWindow* ProgramWindows::routinesWindow() const {
    return routines_.data();
}

// The window stays a top-level window of its own, so that which windows keep the program running
// does not change; the desktop places it over the recorder window.
void ProgramWindows::placeOverRecorder(QWidget* window) {
    if (!recorder_)
        return;
    window->winId();
    recorder_->winId();
    window->windowHandle()->setTransientParent(recorder_->windowHandle());
}

void ProgramWindows::bringForward(QWidget* window) {
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace calmfield::app
