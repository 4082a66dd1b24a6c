// What the about and contact windows share: caption, client area, frame, icon and place.

#include "info/AboutWindow.h"
#include "info/ContactWindow.h"

#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace calmfield {
namespace {

struct WindowFacts {
    std::string name;
    std::function<std::unique_ptr<QWidget>()> make;
    QString objectName;
    QString caption;
    QSize clientSize;
};

void PrintTo(const WindowFacts& facts, std::ostream* out) {
    *out << facts.name;
}

class InformationWindows : public ::testing::TestWithParam<WindowFacts> {
  protected:
    std::unique_ptr<QWidget> window = GetParam().make();
};

TEST_P(InformationWindows, HaveTheirNameCaptionClientAreaSizableFrameAndIcon) {
    EXPECT_EQ(window->objectName(), GetParam().objectName);
    EXPECT_EQ(window->windowTitle(), GetParam().caption);
    EXPECT_EQ(window->size(), GetParam().clientSize);

    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Window);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(window->isModal());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->resize(GetParam().clientSize * 2);
    EXPECT_EQ(window->size(), GetParam().clientSize * 2) << "the frame can be sized";

    const QList<QSize> iconSizes = window->windowIcon().availableSizes();
    EXPECT_TRUE(iconSizes.contains(QSize(16, 16)));
    EXPECT_TRUE(iconSizes.contains(QSize(32, 32)));
}

TEST_P(InformationWindows, AreCentredOnTheScreenEachTimeTheyAreShown) {
    const QPoint centre = window->screen()->availableGeometry().center();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_LE((window->frameGeometry().center() - centre).manhattanLength(), 1);

    window->move(0, 0);
    window->close();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_LE((window->frameGeometry().center() - centre).manhattanLength(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    AboutAndContact, InformationWindows,
    ::testing::Values(WindowFacts{"about", [] { return std::make_unique<info::AboutWindow>(); },
                                  QStringLiteral("Form2"), QStringLiteral("Calmfield v2.0"),
                                  QSize(273, 296)},
                      WindowFacts{"contact", [] { return std::make_unique<info::ContactWindow>(); },
                                  QStringLiteral("Form4"), QStringLiteral("Contact Us"),
                                  QSize(312, 76)}),
    [](const ::testing::TestParamInfo<WindowFacts>& instance) { return instance.param.name; });

} // namespace
} // namespace calmfield
