#include "app/TerminationRequests.h"

#include "app/ProgramWindows.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>

namespace calmfield::app {
namespace {

void dismissOpenDialogs() {
    QList<QPointer<QDialog>> dialogs;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(window);
        if (dialog != nullptr && dialog->isVisible() && dialog->isModal())
            dialogs.append(dialog);
    }
    for (const QPointer<QDialog>& dialog : dialogs) {
        if (dialog)
            dialog->reject();
    }
}

} // namespace

TerminationRequests::TerminationRequests(ProgramWindows& windows,
                                         std::function<void()> stopWaitingForTheUser)
    : windows_(windows), stopWaitingForTheUser_(std::move(stopWaitingForTheUser)) {}

void TerminationRequests::request() {
    stopWaitingForTheUser_();
    dismissOpenDialogs();
    windows_.closeAll();
}

} // namespace calmfield::app
