#include "ending/TerminationRequests.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>

namespace calmfield::ending {
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

TerminationRequests::TerminationRequests(std::function<void()> closeEveryWindow,
                                         std::function<void()> stopWaitingForTheUser)
    : closeEveryWindow_(std::move(closeEveryWindow)),
      stopWaitingForTheUser_(std::move(stopWaitingForTheUser)) {}

void TerminationRequests::request() {
    stopWaitingForTheUser_();
    dismissOpenDialogs();
    closeEveryWindow_();
}

} // namespace calmfield::ending
