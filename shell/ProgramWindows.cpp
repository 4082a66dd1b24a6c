#include "shell/ProgramWindows.h"

#include "shell/info/Form2.h"
#include "shell/info/Form4.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace calmfield::shell {

ProgramWindows::ProgramWindows(platform::UrlOpener openUrl, std::function<void()> endProgram)
    : openUrl_(std::move(openUrl)), endProgram_(std::move(endProgram)) {}

ProgramWindows::~ProgramWindows() = default;

void ProgramWindows::track(QWidget* window) {
    window->installEventFilter(this);
    if (window->isVisible())
        open_.insert(window);
    connect(window, &QObject::destroyed, this, [this](QObject* gone) { open_.remove(gone); });
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
        about_ = std::make_unique<Form2>(openUrl_);
        track(about_.get());
    }
    bringForward(about_.get());
}

void ProgramWindows::showContact() {
    if (!contact_) {
        contact_ = std::make_unique<Form4>();
        track(contact_.get());
    }
    bringForward(contact_.get());
}

void ProgramWindows::bringForward(QWidget* window) {
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace calmfield::shell
