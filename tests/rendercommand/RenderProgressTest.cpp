#include "rendercommand/RenderProgressBar.h"

#include <gtest/gtest.h>

namespace calmfield {
namespace {

using namespace std::chrono_literals;

TEST(RenderProgressLine, ShowsTheBarTheTimeRenderedAndTheTimeLeftAtThePaceSoFar) {
    constexpr std::uint64_t kHour = 3600 * 48000;
    // A quarter of eight hours in 30 s leaves 90 s at that pace.
    EXPECT_EQ(rendercommand::renderProgressLine(2 * kHour, 8 * kHour, 48000, 30s),
              "[#######-----------------------] 2:00:00 of 8:00:00 rendered, 1:30 left");
    EXPECT_EQ(rendercommand::renderProgressLine(0, 12 * 48000, 48000, 0ms),
              "[------------------------------] 0:00 of 0:12 rendered, time left unknown");
    EXPECT_EQ(rendercommand::renderProgressLine(12 * 22050, 12 * 22050, 22050, 2s),
              "[##############################] 0:12 of 0:12 rendered, 0:00 left");
}

} // namespace
} // namespace calmfield
