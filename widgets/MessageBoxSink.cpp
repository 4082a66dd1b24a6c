#include "widgets/MessageBoxSink.h"

#include "files/ProgramTitle.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace calmfield::widgets {

void MessageBoxSink::showMessage(const QString& text) {
    if (unattended_) {
        std::fprintf(stderr, "%s: %s\n", files::kProgramTitle, text.toLocal8Bit().constData());
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(files::kProgramTitle), text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

// No is the default: pressing Enter without reading changes nothing.
bool MessageBoxSink::askYesNo(const QString& question) {
    if (unattended_)
        return false;
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(files::kProgramTitle), question,
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace calmfield::widgets
