#include "widgets/MessageBoxSink.h"

#include "platform/ProgramTitle.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace calmfield::widgets {

void MessageBoxSink::showMessage(const QString& text) {
    if (unattended_) {
        std::fprintf(stderr, "%s: %s\n", platform::kProgramTitle, text.toLocal8Bit().constData());
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(platform::kProgramTitle), text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

// No is the default: pressing Enter without reading changes nothing.
bool MessageBoxSink::askYesNo(const QString& question) {
    if (unattended_)
        return false;
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(platform::kProgramTitle), question,
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace calmfield::widgets
