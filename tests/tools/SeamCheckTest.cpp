#include "tests/tools/NoiseMeasures.h"

#include "tools/ColouredNoise.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace calmfield::tools::measures {
namespace {

constexpr std::size_t kFrames = std::size_t{1} << 17;

std::vector<double> brownLoop() {
    return periodicColouredNoise(kFrames, 22050.0, NoiseColourShape{-6.0}, 77);
}

std::vector<double> rotated(const std::vector<double>& samples, std::size_t by) {
    std::vector<double> result(samples);
    std::rotate(result.begin(), result.begin() + static_cast<std::ptrdiff_t>(by), result.end());
    return result;
}

// Rotating a loop keeps it a loop: the old wrap becomes an ordinary step and an ordinary step
// becomes the wrap.
TEST(SeamCheck, AcceptsEveryRotationOfALoop) {
    const auto loop = brownLoop();
    for (std::size_t by = 0; by < kFrames; by += kFrames / 16 + 333)
        EXPECT_TRUE(seamLooksSeamless(rotated(loop, by))) << "rotated by " << by;
}

// Cutting the end off breaks the loop. Where the two ends happen to meet at nearly the same value
// the splice is as quiet as any other step, so only most of the cuts can be told; in white noise,
// whose neighbouring samples are unrelated anyway, none can.
TEST(SeamCheck, FlagsMostTruncatedCopiesOfABrownLoop) {
    const auto loop = brownLoop();
    int cuts = 0;
    int flagged = 0;
    for (std::size_t cut = 1000; cut < kFrames / 2; cut += 4001, ++cuts) {
        const std::vector<double> truncated(loop.begin(), loop.end() - static_cast<long>(cut));
        flagged += !seamLooksSeamless(truncated);
    }
    EXPECT_GE(flagged * 4, cuts * 3) << flagged << " of " << cuts << " truncated copies flagged";
}

TEST(SeamCheck, FlagsAJumpAtTheWrap) {
    auto loop = brownLoop();
    // A slow drift over the whole loop leaves the end a tenth of full scale away from the start.
    for (std::size_t i = 0; i < loop.size(); ++i)
        loop[i] = 0.1 * loop[i] + 0.1 * static_cast<double>(i) / static_cast<double>(kFrames);
    EXPECT_FALSE(seamLooksSeamless(loop));
    EXPECT_GT(seamRanks(loop).window, 0.999);
}

} // namespace
} // namespace calmfield::tools::measures
