// Draws the program's pictures.
// Usage: make_pictures colours <folder>    the five colour pictures, for the program's folder
//        make_pictures resources <folder>  the pictures embedded in the program

#include "resources/PictureArt.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>
#include <QString>

#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

using namespace calmfield::resources;

struct Picture {
    const char* name;
    const char* format;
    std::function<QImage()> draw;
};

const QSize kColourPictureSize(313, 137);

std::vector<Picture> colourPictures() {
    auto texture = [](Tones tones, double grainSlope, std::uint32_t seed) {
        return [=] { return noiseTexture(kColourPictureSize, tones, grainSlope, seed); };
    };
    return {
        {"brown_noise.jpg", "JPEG",
         texture({QColor(0x45, 0x27, 0x15), QColor(0xb8, 0x80, 0x52)}, -6.0, 11)},
        {"pink_noise.jpg", "JPEG",
         texture({QColor(0xb5, 0x5d, 0x78), QColor(0xf8, 0xd6, 0xdf)}, -3.0, 22)},
        {"White_noise.jpg", "JPEG",
         texture({QColor(0xa4, 0xa6, 0xaa), QColor(0xfc, 0xfc, 0xfb)}, 0.0, 33)},
        {"Blue_noise.jpg", "JPEG",
         texture({QColor(0x1c, 0x45, 0x86), QColor(0x9e, 0xc4, 0xee)}, 3.0, 44)},
        {"violet.jpg", "JPEG",
         texture({QColor(0x46, 0x27, 0x73), QColor(0xc9, 0xaa, 0xe8)}, 6.0, 55)},
    };
}

std::vector<Picture> embeddedPictures() {
    return {
        {"background.jpg", "JPEG", [] { return backgroundWash(QSize(1000, 800)); }},
        {"button_small.jpg", "JPEG", [] { return brushedButtonFace(QSize(65, 44), 1); }},
        {"button_medium.jpg", "JPEG", [] { return brushedButtonFace(QSize(65, 34), 2); }},
        {"button_wide.jpg", "JPEG", [] { return brushedButtonFace(QSize(326, 34), 3); }},
        {"logo.jpg", "JPEG", [] { return aboutLogo(QSize(256, 240)); }},
        {"calmfield_16.png", "PNG", [] { return iconPicture(16); }},
        {"calmfield_32.png", "PNG", [] { return iconPicture(32); }},
    };
}

// The file appears under its name only once it is complete.
bool save(const Picture& picture, const QDir& folder) {
    const QString path = folder.filePath(QString::fromUtf8(picture.name));
    QSaveFile file(path);
    const int quality = std::strcmp(picture.format, "JPEG") == 0 ? 90 : -1;
    const bool saved = file.open(QIODevice::WriteOnly) &&
                       picture.draw().save(&file, picture.format, quality) && file.commit();
    if (!saved)
        std::fprintf(stderr, "make_pictures: cannot write %s\n", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    // Drawing text needs a GUI application, and the build may have no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    const bool colours = arguments.size() == 3 && arguments[1] == QStringLiteral("colours");
    const bool resources = arguments.size() == 3 && arguments[1] == QStringLiteral("resources");
    if (!colours && !resources) {
        std::fprintf(stderr, "usage: make_pictures colours|resources <folder>\n");
        return 2;
    }
    const QDir folder(arguments[2]);
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "make_pictures: cannot create %s\n", qPrintable(arguments[2]));
        return 1;
    }
    bool allSaved = true;
    for (const auto& picture : colours ? colourPictures() : embeddedPictures())
        allSaved = save(picture, folder) && allSaved;
    return allSaved ? 0 : 1;
}
