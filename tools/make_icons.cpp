// Draws the program icon at each size a desktop's icon theme asks for, each drawn at its own size.
// Usage: make_icons <folder> <icon name>
// writes <folder>/<size>x<size>/apps/<icon name>.png, the layout of the hicolor theme.

#include "resources/PictureArt.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: make_icons <folder> <icon name>\n");
        return 2;
    }
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(arguments[1]).arg(size);
        const QString path = folder + '/' + arguments[2] + QStringLiteral(".png");
        QSaveFile file(path);
        if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly) ||
            !calmfield::resources::iconPicture(size).save(&file, "PNG") || !file.commit()) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
