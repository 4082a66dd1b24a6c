#include "app/Application.h"

#include "desktop/ProgramFolder.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>

namespace calmfield::app {

void nameTheApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("calmfield"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CALMFIELD_VERSION));
}

session::SessionFolders foldersOfThisProgram() {
    const QString userSettingsFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return {desktop::programFolder(), QFile::encodeName(userSettingsFolder).toStdString()};
}

} // namespace calmfield::app
