#include "info/AboutWindow.h"
#include "info/ProductAddresses.h"
#include "resources/EmbeddedPictures.h"
#include "tests/support/ColourContrast.h"
#include "tests/support/NamedControl.h"
#include "widgets/ClientArea.h"

#include <QApplication>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace calmfield {
namespace {

using info::AboutWindow;
using testsupport::named;

class AboutWindowTest : public ::testing::Test {
  protected:
    // The addresses "Take me there!" asked for, and what the desktop answers.
    std::vector<QUrl> opened;
    bool desktopOpensAddresses = true;
    std::unique_ptr<AboutWindow> form = std::make_unique<AboutWindow>([this](const QUrl& address) {
        opened.push_back(address);
        return desktopOpensAddresses;
    });

    void SetUp() override {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    // The controls by their names in the layout table.
    QLabel* label(const char* name) const { return named<QLabel>(form.get(), name); }
    QLabel* logoBox() const { return label("Picture1"); }
    QLabel* productName() const { return label("Label1"); }
    QLabel* creditsHeading() const { return label("Label4"); }
    QLabel* homePageAddress() const { return label("Label3"); }
    QPushButton* takeMeThereButton() const { return named<QPushButton>(form.get(), "Command1"); }
    widgets::ClientArea* clientArea() const { return named<widgets::ClientArea>(form.get(), {}); }
    QList<QLabel*> labels() const {
        return {productName(), label("Label2"), homePageAddress(), creditsHeading(),
                label("Label5")};
    }
};

TEST_F(AboutWindowTest, ShowsTheProductAndItsMakers) {
    EXPECT_EQ(productName()->text(), "Calmfield v2.0");
    EXPECT_EQ(creditsHeading()->text(), "Designed and Programmed by:");
    EXPECT_EQ(label("Label5")->text(), "the Calmfield developers");
    EXPECT_TRUE(label("Label2")->text().contains("the Calmfield developers"));
    EXPECT_EQ(takeMeThereButton()->text(), "Take me there!");
}

TEST_F(AboutWindowTest, ShowsTheHomePageWithoutItsScheme) {
    EXPECT_EQ(homePageAddress()->text(), "calmfield.example/");
    EXPECT_EQ(info::addressText(info::kHomePage), "https://" + homePageAddress()->text());

    EXPECT_EQ(info::withoutScheme("http://quiet.example/a/b?c=1"), "quiet.example/a/b?c=1");
    EXPECT_EQ(info::withoutScheme("quiet.example/"), "quiet.example/");
}

TEST_F(AboutWindowTest, ControlsSitAtTheirPlacesWithTheButtonOverTheAddress) {
    QWidget* client = clientArea();
    const struct {
        const char* name;
        QRect place;
    } places[] = {
        {"Picture1", {8, 8, 257, 161}},  {"Label1", {8, 176, 169, 25}},
        {"Label4", {8, 192, 193, 17}},   {"Label5", {8, 208, 241, 17}},
        {"Label2", {8, 224, 257, 33}},   {"Label3", {8, 240, 257, 33}},
        {"Command1", {8, 264, 257, 25}},
    };
    for (const auto& [name, place] : places) {
        const QWidget* control = named(form.get(), name);
        EXPECT_EQ(control->parentWidget(), client) << name;
        EXPECT_EQ(control->geometry(), place) << name;
    }
    EXPECT_EQ(client->childAt(100, 268), takeMeThereButton());
    EXPECT_EQ(client->childAt(100, 250), homePageAddress());
}

TEST_F(AboutWindowTest, LabelsAreWhiteOnThePictureWithABoldTitle) {
    for (QLabel* label : labels()) {
        EXPECT_FALSE(label->autoFillBackground()) << label->objectName().toStdString();
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 255, 255));
        EXPECT_EQ(label->font().bold(), label == productName());
    }
    EXPECT_DOUBLE_EQ(productName()->font().pointSizeF(), 9.75);
    EXPECT_EQ(creditsHeading()->font(), QApplication::font());
    EXPECT_FALSE(takeMeThereButton()->isFlat());
}

TEST_F(AboutWindowTest, BackgroundIsTheWashDrawnUnscaledFromTheTopLeftCorner) {
    const QImage wash(QString::fromLatin1(resources::kBackgroundPicture));
    ASSERT_EQ(wash.size(), QSize(1000, 800));
    EXPECT_EQ(clientArea()->background().size(), wash.size());

    // Larger than the picture, so that a stretched or tiled wash would show.
    form->resize(1100, 900);
    const QImage shown = clientArea()->grab().toImage();
    for (const QPoint spot : {QPoint(2, 2), QPoint(269, 100), QPoint(990, 120)})
        EXPECT_EQ(shown.pixel(spot), wash.pixel(spot)) << spot.x() << ", " << spot.y();
    EXPECT_EQ(QColor(shown.pixel(1050, 850)), form->palette().color(QPalette::Window));
}

// The white text must read clearly wherever it lies on the wash behind it.
TEST_F(AboutWindowTest, WashBehindTheTextIsDarkEnoughForWhiteText) {
    const QImage background = clientArea()->background().toImage();
    for (QLabel* label : labels()) {
        double lowest = 21.0;
        const QRect place = label->geometry();
        for (int y = place.top(); y <= place.bottom(); ++y)
            for (int x = place.left(); x <= place.right(); ++x)
                lowest = std::min(
                    lowest, testsupport::contrastRatio(Qt::white, background.pixelColor(x, y)));
        EXPECT_GE(lowest, 4.5) << label->objectName().toStdString();
    }
}

TEST_F(AboutWindowTest, LogoShowsUnscaledInsideTheSunkenBorder) {
    const QImage logo(QString::fromLatin1(resources::kAboutLogo));
    ASSERT_EQ(logo.size(), QSize(256, 240));
    EXPECT_EQ(logoBox()->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(logoBox()->pixmap().size(), logo.size());

    takeMeThereButton()->setFocus(); // the focus ring lies over the logo's edge
    const QImage shown = logoBox()->grab().toImage();
    const QPoint inside = logoBox()->contentsRect().topLeft();
    EXPECT_GT(inside.x(), 0) << "the border takes its room first";
    for (const QPoint spot : {QPoint(0, 0), QPoint(128, 80), QPoint(250, 150)})
        EXPECT_EQ(shown.pixel(inside + spot), logo.pixel(spot)) << spot.x() << ", " << spot.y();
}

// The box shows only the logo's top-left part: the word, its darkest drawing, must lie there.
TEST_F(AboutWindowTest, LogosWordLiesInThePartTheBoxShows) {
    const QImage logo(QString::fromLatin1(resources::kAboutLogo));
    const QRect shown(QPoint(0, 0), logoBox()->contentsRect().size());
    int darkShown = 0;
    int darkHidden = 0;
    for (int y = 0; y < logo.height(); ++y) {
        for (int x = 0; x < logo.width(); ++x) {
            if (qGray(logo.pixel(x, y)) < 90)
                ++(shown.contains(x, y) ? darkShown : darkHidden);
        }
    }
    EXPECT_GT(darkShown, 400);
    EXPECT_EQ(darkHidden, 0);
}

TEST_F(AboutWindowTest, TabGoesFromThePictureToTheButtonAndBack) {
    for (QLabel* label : labels())
        EXPECT_EQ(label->focusPolicy(), Qt::NoFocus) << label->objectName().toStdString();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(QApplication::focusWidget(), logoBox());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), takeMeThereButton());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), logoBox());
}

TEST_F(AboutWindowTest, TakeMeThereAsksTheDesktopToOpenTheHomePage) {
    QTest::mouseClick(takeMeThereButton(), Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1U);
    EXPECT_EQ(opened[0], QUrl("https://calmfield.example/"));
}

TEST_F(AboutWindowTest, TakeMeThereChangesNothingWhenNothingCanOpenTheAddress) {
    desktopOpensAddresses = false;
    const QRect place = form->geometry();
    const QWidgetList windowsBefore = QApplication::topLevelWidgets();
    takeMeThereButton()->setFocus(); // as the click does, ringing the button
    const QImage looksBefore = form->grab().toImage();

    QTest::mouseClick(takeMeThereButton(), Qt::LeftButton);
    QApplication::processEvents();

    EXPECT_EQ(opened.size(), 1U);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->geometry(), place);
    EXPECT_EQ(QApplication::topLevelWidgets(), windowsBefore) << "no message appeared";
    EXPECT_EQ(form->grab().toImage(), looksBefore);
}

} // namespace
} // namespace calmfield
