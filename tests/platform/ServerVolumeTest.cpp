// The speakers' volume against real sound servers: private PulseAudio and PipeWire ones, each
// with a null sink.

#include "platform/PulseVolumePort.h"
#include "tests/support/SoundServers.h"

#include <gtest/gtest.h>

#include <thread>

namespace calmfield::platform {
namespace {

using namespace std::chrono_literals;

// The sink's volume once it settles on `expected` on every channel, or the last one read.
template <typename Server>
std::vector<std::uint32_t> sinkVolumeSettlingOn(Server& server, std::uint32_t expected) {
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    std::vector<std::uint32_t> volume = server.sinkVolume();
    while (std::chrono::steady_clock::now() < deadline &&
           !(volume.size() == 2 && volume[0] == expected && volume[1] == expected)) {
        std::this_thread::sleep_for(20ms);
        volume = server.sinkVolume();
    }
    return volume;
}

std::vector<std::uint32_t> onBothChannels(std::uint32_t value) {
    return {value, value};
}

TEST(VolumeWithoutServer, OpeningFailsWhenNoServerAnswersAndSettingDoesNothing) {
    PulseVolumePort nowhere("unix:/nonexistent/calmfield/native");
    EXPECT_FALSE(nowhere.open(2s));
    nowhere.setVolume(1000);
}

// At login the program may start before the server has set up a sound card.
TEST(ServerVolumeWithoutSink, AVolumeSetBeforeTheSinkTurnsUpReachesIt) {
    testsupport::PrivatePulseServer server;
    ASSERT_TRUE(server.start(48000, false)) << server.error();
    PulseVolumePort volume(server.address());
    ASSERT_TRUE(volume.open(3s));
    volume.setVolume(65172);
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
        volume.setVolume(value);
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
    volume.setVolume(65172);
    ASSERT_EQ(sinkVolumeSettlingOn(this->server, 65172), onBothChannels(65172));

    this->server.stop();
    volume.setVolume(15920);
    volume.setVolume(31840);
    ASSERT_TRUE(this->server.start(48000)) << this->server.error();
    const auto restarted = std::chrono::steady_clock::now();
    EXPECT_EQ(sinkVolumeSettlingOn(this->server, 31840), onBothChannels(31840));
    this->RecordProperty("volumeAppliedAfterRestartMs",
                         static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now() - restarted)
                                              .count()));

    volume.setVolume(0);
    EXPECT_EQ(sinkVolumeSettlingOn(this->server, 0), onBothChannels(0));
}

} // namespace
} // namespace calmfield::platform
