#include "shell/MessageBoxSink.h"

#include "shell/Messages.h"

#include <QApplication>
#include <QMessageBox>

namespace calmfield::shell {

void MessageBoxSink::showMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kProgramTitle), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

// No is the default: pressing Enter without reading changes nothing.
bool MessageBoxSink::askYesNo(const QString& question) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kProgramTitle), question,
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace calmfield::shell
