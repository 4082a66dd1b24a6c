#include "tests/tools/NoiseMeasures.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>

namespace calmfield::tools::measures {
namespace {

struct NoiseLoop {
    const char* fileName;
    double slopeDbPerOctave;
};

std::ostream& operator<<(std::ostream& out, const NoiseLoop& loop) {
    return out << loop.fileName;
}

std::filesystem::path programFolder() {
    const char* folder = std::getenv("CALMFIELD_PROGRAM_DIR");
    return folder ? folder : "";
}

class NoiseLoopFile : public ::testing::TestWithParam<NoiseLoop> {
  protected:
    // Each file is decoded once per test process.
    static const StereoSound& sound() {
        static std::map<std::string, StereoSound> loaded;
        const std::string name = GetParam().fileName;
        auto found = loaded.find(name);
        if (found == loaded.end()) {
            auto decoded = readStereoSound(programFolder() / name);
            if (!decoded)
                throw std::runtime_error(name + " is missing or not a stereo sound");
            found = loaded.emplace(name, std::move(*decoded)).first;
        }
        return found->second;
    }
};

TEST_P(NoiseLoopFile, IsSixteenBitStereoAt22050HzAndAtLeastThirtySecondsLong) {
    const StereoSound& loop = sound();
    EXPECT_EQ(loop.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(loop.sampleRate, 22050);
    EXPECT_GE(loop.left.size(), 30u * 22050u);
}

TEST_P(NoiseLoopFile, HasItsColoursSpectralSlopeFrom50HzTo8kHz) {
    const StereoSound& loop = sound();
    const double target = GetParam().slopeDbPerOctave;
    EXPECT_NEAR(spectralSlopeDbPerOctave(loop.left, loop.sampleRate, 50.0, 8000.0), target, 0.5);
    EXPECT_NEAR(spectralSlopeDbPerOctave(loop.right, loop.sampleRate, 50.0, 8000.0), target, 0.5);
}

TEST_P(NoiseLoopFile, WrapsFromEndToStartWithoutASeam) {
    const StereoSound& loop = sound();
    const SeamRanks left = seamRanks(loop.left);
    const SeamRanks right = seamRanks(loop.right);
    EXPECT_TRUE(seamLooksSeamless(loop.left))
        << "step rank " << left.step << ", window rank " << left.window;
    EXPECT_TRUE(seamLooksSeamless(loop.right))
        << "step rank " << right.step << ", window rank " << right.window;
}

TEST_P(NoiseLoopFile, SitsNearMinus20DbfsWithoutClipping) {
    const StereoSound& loop = sound();
    EXPECT_NEAR(rmsDbfs(loop.left), -20.0, 1.5);
    EXPECT_NEAR(rmsDbfs(loop.right), -20.0, 1.5);
    // A clipped sample sits at either end of the 16-bit range.
    const double highest = 32766.0 / 32768.0;
    EXPECT_LE(peakAbs(loop.left), highest);
    EXPECT_LE(peakAbs(loop.right), highest);
}

TEST_P(NoiseLoopFile, HasIndependentLeftAndRightChannels) {
    const StereoSound& loop = sound();
    EXPECT_LT(std::abs(correlation(loop.left, loop.right)), 0.1);
}

INSTANTIATE_TEST_SUITE_P(FiveColours, NoiseLoopFile,
                         ::testing::Values(NoiseLoop{"Brown_Noise.Wav", -6.0},
                                           NoiseLoop{"Pink_Noise.Wav", -3.0},
                                           NoiseLoop{"White_Noise.Wav", 0.0},
                                           NoiseLoop{"Blue_Noise.Wav", 3.0},
                                           NoiseLoop{"violet.Wav", 6.0}),
                         [](const auto& testInfo) {
                             std::string name = testInfo.param.fileName;
                             return name.substr(0, name.find('.'));
                         });

} // namespace
} // namespace calmfield::tools::measures
