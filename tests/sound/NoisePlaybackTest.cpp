#include "engine/ChannelBank.h"
#include "engine/SoundBuffer.h"
#include "files/StoredName.h"
#include "sound/DesktopSoundOutput.h"
#include "tests/support/SignalAnalysis.h"
#include "tests/support/SoundServers.h"
#include "tests/support/SourceRecorder.h"
#include "tests/support/TestSoundFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <thread>

namespace calmfield::engine {
namespace {

using namespace std::chrono_literals;
using testsupport::PrivatePulseServer;

constexpr int kPink = 1;

std::filesystem::path colourSoundFile(int colour) {
    const char* folder = std::getenv("CALMFIELD_PROGRAM_DIR");
    return files::resolveStoredName(folder != nullptr ? folder : ".",
                                    kNoiseColours[colour].soundFile);
}

std::filesystem::path pinkSoundFile() {
    return colourSoundFile(kPink);
}

// The level of a sound as decoded for playing, in decibels relative to full scale.
double soundLevel(const SoundBuffer& sound) {
    std::vector<float> samples;
    samples.reserve(sound.frames() * 2);
    for (std::size_t i = 0; i < sound.frames(); ++i) {
        samples.push_back(sound.left(i) / 32768.0f);
        samples.push_back(sound.right(i) / 32768.0f);
    }
    return testsupport::rmsDecibels(samples);
}

template <typename Server> class ServerNoisePlayback : public testsupport::ServerTest<Server> {
  protected:
    void SetUp() override { this->startServer(44100); }

    // Plays `file` as a colour, pink unless told, through an output of its own to the server, the
    // program's own (natively on PipeWire);
    // null if it cannot, with the reason reported.
    NoiseChannel* play(const std::filesystem::path& file, int colour = kPink) {
        output = std::make_unique<sound::DesktopSoundOutput>(this->server.address());
        bank = std::make_unique<ChannelBank>(*output);
        EXPECT_TRUE(bank->openDevice(5s).ok());
        EXPECT_TRUE(bank->createChannel(colour, file).ok());
        NoiseChannel* channel = bank->channel(colour);
        if (channel != nullptr)
            channel->play();
        return channel;
    }

    std::vector<float> recordSink(std::chrono::milliseconds duration) {
        testsupport::SourceRecorder recorder(
            this->server.address(), this->server.monitorSourceName(), this->server.sampleRate());
        EXPECT_TRUE(recorder.connected()) << recorder.error();
        recorder.record(300ms); // what was on its way before the recording began
        return recorder.record(duration);
    }

    const SoundFileResult pinkSound = loadSoundFile(pinkSoundFile());
    std::unique_ptr<sound::DesktopSoundOutput> output;
    std::unique_ptr<ChannelBank> bank; // after the output, so that it goes first
};
TYPED_TEST_SUITE(ServerNoisePlayback, testsupport::SoundServers);

// Only a PulseAudio server is started again at another rate within a test.
using ServerRateChange = ServerNoisePlayback<PrivatePulseServer>;

// The colours whose energy lies at the top of the band show whether it reaches the sink unbent.
TYPED_TEST(ServerNoisePlayback, ColoursReachTheSinkAtTheirOwnLevelAndSlope) {
    struct Colour {
        int index;
        double slope; // decibels per octave
    };
    for (const Colour colour : {Colour{kPink, -3.0}, Colour{3, 3.0}, Colour{4, 6.0}}) {
        SCOPED_TRACE(kNoiseColours[colour.index].name);
        const SoundFileResult sound = loadSoundFile(colourSoundFile(colour.index));
        ASSERT_TRUE(sound.ok());
        this->bank.reset();
        ASSERT_NE(this->play(colourSoundFile(colour.index), colour.index), nullptr);

        const auto recording = this->recordSink(3s);
        ASSERT_FALSE(recording.empty());
        const auto spectrum =
            testsupport::averagedSpectrum(recording, 2, this->server.sampleRate());
        EXPECT_NEAR(testsupport::slopeDecibelsPerOctave(spectrum, 1000.0, 10000.0), colour.slope,
                    0.3);
        EXPECT_NEAR(testsupport::rmsDecibels(recording), soundLevel(*sound.value()), 1.5);
    }
}

// Stopping the last colour corks the stream once its fade has played out; a change made meanwhile
// is heard when the colour plays again.
TYPED_TEST(ServerNoisePlayback, TheStreamRestsWhileAllIsStoppedAndWakesWithTheLatestSettings) {
    ASSERT_TRUE(this->pinkSound.ok());
    NoiseChannel* pink = this->play(pinkSoundFile());
    ASSERT_NE(pink, nullptr);
    ASSERT_TRUE(this->soundReachesSink(3s));

    pink->stop();
    ASSERT_TRUE(this->waitForStream(true, 3s));
    pink->setVolume(-2000);
    pink->play();
    EXPECT_TRUE(this->waitForStream(false, 1s));
    const auto recording = this->recordSink(1s);
    ASSERT_FALSE(recording.empty());
    EXPECT_NEAR(testsupport::rmsDecibels(recording), soundLevel(*this->pinkSound.value()) - 20.0,
                1.5);
}

// The stream follows the default sink: to the headphones when they become it, back to the speakers
// when the headphones go, and it is never made again on the way (connections() would count it).
TYPED_TEST(ServerNoisePlayback, TheStreamMovesWithTheDefaultSinkAndOutlivesItsRemoval) {
    ASSERT_TRUE(this->addHeadphones()) << this->server.log();
    ASSERT_NE(this->play(pinkSoundFile()), nullptr);
    ASSERT_TRUE(this->soundReachesSink(3s));

    ASSERT_TRUE(this->makeDefault(this->headphones));
    EXPECT_TRUE(testsupport::waitForSound(this->server.address(), this->headphones + ".monitor",
                                          this->server.sampleRate(), 5s));
    ASSERT_TRUE(this->removeHeadphones());
    EXPECT_TRUE(this->soundReachesSink(5s));
    EXPECT_EQ(this->output->connections(), 1u);
}

// A tone of a known pitch shows whether the output renders at the rate the server really plays.
TEST_F(ServerRateChange, ToneKeepsItsPitchWhenTheServerComesBackAtAnotherRate) {
    const auto file = std::filesystem::temp_directory_path() /
                      ("calmfield-tone-" + std::to_string(::getpid()) + ".wav");
    ASSERT_TRUE(testsupport::writeToneFile(file, 1000.0, 22050, 1.0, 0.25));

    ASSERT_NE(play(file), nullptr);
    std::filesystem::remove(file);

    const auto before = recordSink(1s);
    ASSERT_FALSE(before.empty());
    EXPECT_NEAR(testsupport::strongestFrequency(
                    testsupport::averagedSpectrum(before, 2, server.sampleRate())),
                1000.0, 3.0);

    server.stop();
    ASSERT_TRUE(server.start(48000)) << server.error();
    ASSERT_TRUE(soundReachesSink(5s));
    EXPECT_EQ(output->sampleRate(), 48000u);
    const auto after = recordSink(1s);
    ASSERT_FALSE(after.empty());
    EXPECT_NEAR(testsupport::strongestFrequency(
                    testsupport::averagedSpectrum(after, 2, server.sampleRate())),
                1000.0, 3.0);
}

} // namespace
} // namespace calmfield::engine
