#include "instance/TokenActivation.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>
#include <QWindow>

#include <vector>

namespace calmfield {
namespace {

// What the window system was given at each activation.
struct Activation {
    QByteArray token;
    bool onScreen = false;
    bool operator==(const Activation&) const = default;
};

class TokenActivation : public ::testing::Test {
  protected:
    std::vector<Activation> activations;
    instance::TokenActivation activation{[this](QWidget& shown) {
        activations.push_back({qgetenv("XDG_ACTIVATION_TOKEN"), shown.windowHandle()->isExposed()});
    }};
    QWidget window;
};

TEST_F(TokenActivation, WaitsForTheWindowOnScreenAndUsesTheLatestTokenOnce) {
    activation.activate(window, "first");
    activation.activate(window, "second");
    EXPECT_TRUE(activations.empty()) << "nothing is activated before it is on screen";
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(activations, std::vector<Activation>({{"second", true}}));
    EXPECT_TRUE(qgetenv("XDG_ACTIVATION_TOKEN").isNull()) << "the token is not left for reuse";

    activation.activate(window, "third");
    EXPECT_EQ(activations.size(), 2U) << "a window on screen is activated at once";
    window.hide();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(activations, std::vector<Activation>({{"second", true}, {"third", true}}));
}

} // namespace
} // namespace calmfield
