#include "resources/EmbeddedPictures.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QString>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace calmfield::resources {
namespace {

class Pictures : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "tools_tests";
        static char* argv[] = {name, nullptr};
        // The tests need no display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        if (!QGuiApplication::instance())
            application_ = std::make_unique<QGuiApplication>(argc, argv);
    }
    static void TearDownTestSuite() { application_.reset(); }

    static QString programFile(const char* name) {
        return QString::fromLocal8Bit(std::getenv("CALMFIELD_PROGRAM_DIR")) + '/' +
               QString::fromLatin1(name);
    }

    // Checks the kind and size as stored, then decodes the picture.
    static QImage read(const QString& path, const char* format, QSize size) {
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), QByteArray(format)) << qPrintable(path);
        EXPECT_EQ(reader.size(), size) << qPrintable(path);
        QImage image = reader.read();
        EXPECT_FALSE(image.isNull())
            << qPrintable(path) << ": " << qPrintable(reader.errorString());
        return image;
    }

    static QColor meanColour(const QImage& image) {
        double red = 0, green = 0, blue = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                red += qRed(pixel);
                green += qGreen(pixel);
                blue += qBlue(pixel);
            }
        }
        const double count = double(image.width()) * image.height();
        return QColor(int(red / count), int(green / count), int(blue / count));
    }

  private:
    static inline std::unique_ptr<QGuiApplication> application_;
};

// Each colour's picture is a 313 x 137 JPEG that looks like its colour, so that a swapped or
// misnamed picture shows up.
TEST_F(Pictures, ColourPicturesBesideTheProgramShowTheirColours) {
    const QSize size(313, 137);
    const QColor brown = meanColour(read(programFile("brown_noise.jpg"), "jpeg", size));
    EXPECT_TRUE(brown.red() > brown.green() && brown.green() > brown.blue() &&
                brown.lightness() < 140)
        << "brown " << qPrintable(brown.name());

    const QColor pink = meanColour(read(programFile("pink_noise.jpg"), "jpeg", size));
    EXPECT_TRUE(pink.red() > pink.blue() && pink.blue() > pink.green() && pink.lightness() > 150)
        << "pink " << qPrintable(pink.name());

    const QColor white = meanColour(read(programFile("White_noise.jpg"), "jpeg", size));
    EXPECT_TRUE(white.hsvSaturation() < 20 && white.lightness() > 180)
        << "white " << qPrintable(white.name());

    const QColor blue = meanColour(read(programFile("Blue_noise.jpg"), "jpeg", size));
    EXPECT_TRUE(blue.blue() > blue.green() && blue.green() > blue.red() &&
                blue.blue() > blue.red() + 60)
        << "blue " << qPrintable(blue.name());

    const QColor violet = meanColour(read(programFile("violet.jpg"), "jpeg", size));
    EXPECT_TRUE(violet.blue() > violet.red() && violet.red() > violet.green() + 20)
        << "violet " << qPrintable(violet.name());
}

TEST_F(Pictures, BackgroundAndButtonFacesAreBuiltIn) {
    const QImage background =
        read(QString::fromLatin1(kBackgroundPicture), "jpeg", QSize(1000, 800));
    // Lighter copper at the top left than at the bottom right.
    EXPECT_GT(qGray(background.pixel(20, 20)), qGray(background.pixel(980, 780)) + 60);

    for (const char* face : {kSmallButtonFace, kMediumButtonFace, kWideButtonFace}) {
        const QImage image = read(QString::fromLatin1(face), "jpeg",
                                  face == kSmallButtonFace  ? QSize(65, 44)
                                  : face == kWideButtonFace ? QSize(326, 34)
                                                            : QSize(65, 34));
        const QColor mean = meanColour(image);
        EXPECT_TRUE(mean.hsvSaturation() < 25 && mean.lightness() > 160)
            << face << " " << qPrintable(mean.name());
    }
}

// The word is the darkest thing on the logo; without a font it would be missing.
TEST_F(Pictures, LogoCarriesTheProgramsName) {
    const QImage logo = read(QString::fromLatin1(kAboutLogo), "jpeg", QSize(256, 240));
    int darkPixels = 0;
    for (int y = 0; y < logo.height(); ++y)
        for (int x = 0; x < logo.width(); ++x)
            darkPixels += qGray(logo.pixel(x, y)) < 90;
    EXPECT_GT(darkPixels, 400);
}

TEST_F(Pictures, IconIsTransparentOutsideItsRoundedSquare) {
    for (const auto& [path, side] : {std::pair{kIcon16, 16}, std::pair{kIcon32, 32}}) {
        const QImage icon = read(QString::fromLatin1(path), "png", QSize(side, side));
        ASSERT_TRUE(icon.hasAlphaChannel()) << path;
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << path;
        EXPECT_EQ(qAlpha(icon.pixel(side - 1, side - 1)), 0) << path;
        EXPECT_EQ(qAlpha(icon.pixel(side / 2, side / 4)), 255) << path;
    }
    const QList<QSize> sizes = programIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32)));
}

} // namespace
} // namespace calmfield::resources
