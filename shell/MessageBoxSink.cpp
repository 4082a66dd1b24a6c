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

} // namespace calmfield::shell
