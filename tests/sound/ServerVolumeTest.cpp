// The speakers' volume against real sound servers: private PulseAudio and PipeWire ones, each
// with a null sink.

#include "sound/PulseCaptureDevice.h"
#include "sound/PulseVolumePort.h"
#include "tests/support/SoundServers.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

namespace calmfield::sound {
namespace {

using namespace std::chrono_literals;

// The volume of `sink` (the test sink unless told) once it settles on `expected` on every channel,
// or the last one read.
template <typename Server>
std::vector<std::uint32_t> sinkVolumeSettlingOn(Server& server, std::uint32_t expected,
                                                const std::string& sink = {}) {
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    std::vector<std::uint32_t> volume = server.sinkVolume(sink);
    while (std::chrono::steady_clock::now() < deadline &&
           !(volume.size() == 2 && volume[0] == expected && volume[1] == expected)) {
        std::this_thread::sleep_for(20ms);
        volume = server.sinkVolume(sink);
    }
    return volume;
}

std::vector<std::uint32_t> onBothChannels(std::uint32_t value) {
    return {value, value};
}

// A service may start before the sound server: opening fails, and the server is reached once it
// answers, with the volume asked for meanwhile.
TEST(VolumeWithoutServer, OpeningFailsYetTheServerIsReachedWhenItAnswers) {
    testsupport::PrivatePulseServer server;
    ASSERT_TRUE(server.start(48000)) << server.error();
    server.stop();
    PulseVolumePort volume(server.address());
    EXPECT_FALSE(volume.open(1s));
    volume.setVolume(31840, false);
    ASSERT_TRUE(server.start(48000)) << server.error();
    EXPECT_EQ(sinkVolumeSettlingOn(server, 31840), onBothChannels(31840));
}

// At login the program may start before the server has set up a sound card.
TEST(ServerVolumeWithoutSink, AVolumeSetBeforeTheSinkTurnsUpReachesIt) {
    testsupport::PrivatePulseServer server;
    ASSERT_TRUE(server.start(48000, false)) << server.error();
    PulseVolumePort volume(server.address());
    ASSERT_TRUE(volume.open(3s));
    volume.setVolume(65172, false);
    ASSERT_TRUE(server.addSink()) << server.log();
    EXPECT_EQ(sinkVolumeSettlingOn(server, 65172), onBothChannels(65172));
}

template <typename Server> class ServerVolume : public testsupport::ServerTest<Server> {
  protected:
    void SetUp() override { this->startServer(48000); }
};
TYPED_TEST_SUITE(ServerVolume, testsupport::SoundServers);

TYPED_TEST(ServerVolume, IsTheDefaultSinksVolume) {
    PulseVolumePort volume(this->server.address());
    ASSERT_TRUE(volume.open(3s));
    for (const std::uint32_t value : {31840u, 0u, 65172u, 2u}) {
        volume.setVolume(value, false);
        EXPECT_EQ(sinkVolumeSettlingOn(this->server, value), onBothChannels(value));
    }
}

// Opening leaves the sink's volume alone. The last volume set while the server is away reaches
// it once it is back, and later ones follow.
TYPED_TEST(ServerVolume, FollowsTheServerAfterItRestarts) {
    ASSERT_TRUE(this->server.setSinkVolume(50000));
    PulseVolumePort volume(this->server.address());
    ASSERT_TRUE(volume.open(3s));
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(this->server.sinkVolume(), onBothChannels(50000));
    volume.setVolume(65172, false);
    ASSERT_EQ(sinkVolumeSettlingOn(this->server, 65172), onBothChannels(65172));

    this->server.stop();
    volume.setVolume(15920, false);
    volume.setVolume(31840, false);
    ASSERT_TRUE(this->server.start(48000)) << this->server.error();
    const auto restarted = std::chrono::steady_clock::now();
    EXPECT_EQ(sinkVolumeSettlingOn(this->server, 31840), onBothChannels(31840));
    this->RecordProperty("volumeAppliedAfterRestartMs",
                         static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now() - restarted)
                                              .count()));

    volume.setVolume(0, false);
    EXPECT_EQ(sinkVolumeSettlingOn(this->server, 0), onBothChannels(0));
}

// Headphones beside the speakers (the test sink, the default one at first).
template <typename Server> class ServerVolumeWithHeadphones : public ServerVolume<Server> {
  protected:
    void SetUp() override {
        ServerVolume<Server>::SetUp();
        if (!this->IsSkipped() && !this->HasFatalFailure()) {
            ASSERT_TRUE(this->addHeadphones()) << this->server.log();
        }
    }
};
TYPED_TEST_SUITE(ServerVolumeWithHeadphones, testsupport::SoundServers);

// Later volumes go to whichever sink is the default, and no sink changes by itself: not the new
// default, nor the one left when the sink controlled goes, whatever was on its way to that one.
// The pauses give a volume wrongly sent the time to land.
TYPED_TEST(ServerVolumeWithHeadphones, FollowsTheDefaultSinkAndNoSinkChangesByItself) {
    PulseVolumePort volume(this->server.address());
    ASSERT_TRUE(volume.open(3s));
    volume.setVolume(31840, false);
    ASSERT_EQ(sinkVolumeSettlingOn(this->server, 31840), onBothChannels(31840));

    ASSERT_TRUE(this->makeDefault(this->headphones));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(this->server.sinkVolume(this->headphones),
              onBothChannels(TypeParam::kFullSinkVolume));
    volume.setVolume(40000, false);
    EXPECT_EQ(sinkVolumeSettlingOn(this->server, 40000, this->headphones), onBothChannels(40000));
    EXPECT_EQ(this->server.sinkVolume(), onBothChannels(31840));

    volume.setVolume(50000, false);
    ASSERT_TRUE(this->removeHeadphones());
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(this->server.sinkVolume(), onBothChannels(31840));
    volume.setVolume(34825, false);
    EXPECT_EQ(sinkVolumeSettlingOn(this->server, 34825), onBothChannels(34825));
}

// A take stays on the monitor of the output it started on when the default changes.
TYPED_TEST(ServerVolumeWithHeadphones, ATakeStaysOnTheMonitorItStartedOn) {
    struct Discard final : CapturedBytesSink {
        void accept(const std::uint8_t*, std::size_t) noexcept override {}
    } discard;
    PulseCaptureDevice capture(this->server.address());
    ASSERT_TRUE(capture.open(3s));
    ASSERT_TRUE(capture.startRecording({8000, 1}, discard));
    // The name of the source that the one recording records, as the server lists them.
    const auto takeSource = [&] {
        std::istringstream outputs(
            this->server.pactl({"list", "short", "source-outputs"}).value_or(""));
        std::string output, source, index, name;
        outputs >> output >> source;
        std::istringstream sources(this->server.pactl({"list", "short", "sources"}).value_or(""));
        for (std::string line; std::getline(sources, line);) {
            std::istringstream(line) >> index >> name;
            if (index == source)
                return name;
        }
        return std::string();
    };
    for (auto waited = 0ms; takeSource().empty() && waited < 3s; waited += 50ms)
        std::this_thread::sleep_for(50ms);
    const std::string startedOn = takeSource();
    EXPECT_EQ(startedOn, this->server.sinkName() + ".monitor");
    ASSERT_TRUE(this->makeDefault(this->headphones));
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(takeSource(), startedOn);
    EXPECT_EQ(capture.activity(), CaptureDevice::Activity::Recording);
}

// Mute's 0 holds on each new default, and the volume that ends it goes to every sink it silenced.
TYPED_TEST(ServerVolumeWithHeadphones, MuteSilencesEachNewDefaultAndItsEndRestoresThemAll) {
    PulseVolumePort volume(this->server.address());
    ASSERT_TRUE(volume.open(3s));
    volume.setVolume(0, true);
    ASSERT_EQ(sinkVolumeSettlingOn(this->server, 0), onBothChannels(0));

    ASSERT_TRUE(this->makeDefault(this->headphones));
    EXPECT_EQ(sinkVolumeSettlingOn(this->server, 0, this->headphones), onBothChannels(0));
    volume.setVolume(31840, false);
    // Once settled, as at the end of a run, every sink has it without waiting further.
    ASSERT_TRUE(volume.settle(2s));
    EXPECT_EQ(this->server.sinkVolume(this->headphones), onBothChannels(31840));
    EXPECT_EQ(this->server.sinkVolume({}), onBothChannels(31840));
}

} // namespace
} // namespace calmfield::sound
