#include "sound/PulseSoundOutput.h"
#include "sound/DesktopSoundOutput.h"
#include "tests/support/SoundServers.h"
#include "tests/support/SourceRecorder.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <thread>

namespace calmfield::sound {
namespace {

using namespace std::chrono_literals;
using testsupport::PrivatePulseServer;

// Plays a quiet steady level, or silence once idle, and counts what it is asked for.
class CountingRenderer final : public engine::AudioRenderer {
  public:
    void render(float* interleavedStereo, std::size_t frames,
                std::uint32_t sampleRate) noexcept override {
        std::fill_n(interleavedStereo, frames * 2, idle_.load() ? 0.0f : level_.load());
        calls_.fetch_add(1);
        frames_.fetch_add(frames);
        lastRate_.store(sampleRate);
    }
    unsigned calls() const { return calls_.load(); }
    std::size_t frames() const { return frames_.load(); }
    std::uint32_t lastRate() const { return lastRate_.load(); }
    bool idle() const noexcept override { return idle_.load(); }
    void setIdle(bool idle) { idle_.store(idle); }
    void setLevel(float level) { level_.store(level); }

  private:
    std::atomic<unsigned> calls_{0};
    std::atomic<std::size_t> frames_{0};
    std::atomic<std::uint32_t> lastRate_{0};
    std::atomic<bool> idle_{false};
    std::atomic<float> level_{0.1f};
};

// A socket that takes connections and never says a word.
class SilentListener {
  public:
    SilentListener()
        : path_(std::filesystem::temp_directory_path() /
                ("calmfield-silent-" + std::to_string(::getpid()))) {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path_.c_str(), sizeof(address.sun_path) - 1);
        ::unlink(path_.c_str());
        listening_ =
            fd_ >= 0 &&
            ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 &&
            ::listen(fd_, 8) == 0;
    }
    ~SilentListener() {
        ::close(fd_);
        ::unlink(path_.c_str());
    }
    bool listening() const { return listening_; }
    std::string address() const { return "unix:" + path_.string(); }

  private:
    std::filesystem::path path_;
    int fd_ = -1;
    bool listening_ = false;
};

std::size_t openFileCount() {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                      std::filesystem::directory_iterator{}));
}

TEST(ServerUnreachable, StartFailsAtOnceWhenNothingListensAtTheAddress) {
    CountingRenderer renderer;
    PulseSoundOutput output("unix:/nonexistent/calmfield/native");
    const auto began = std::chrono::steady_clock::now();
    const auto started = output.start(renderer, 5s);
    EXPECT_LT(std::chrono::steady_clock::now() - began, 4s);
    ASSERT_FALSE(started.ok());
    EXPECT_EQ(started.reason(), "Connection refused") << "the server's reason, for the user";
    EXPECT_EQ(output.sampleRate(), 0u);
    output.stop();
    output.stop();
    EXPECT_EQ(renderer.calls(), 0u);
}

TEST(ServerUnreachable, StartGivesUpAtTheTimeoutWhenTheServerNeverAnswers) {
    SilentListener listener;
    ASSERT_TRUE(listener.listening());
    CountingRenderer renderer;
    PulseSoundOutput output(listener.address());
    const auto began = std::chrono::steady_clock::now();
    const auto started = output.start(renderer, 300ms);
    const auto waited = std::chrono::steady_clock::now() - began;
    ASSERT_FALSE(started.ok());
    EXPECT_EQ(started.reason(), "Timeout");
    EXPECT_GE(waited, 250ms);
    EXPECT_LT(waited, 2300ms);
    EXPECT_EQ(renderer.calls(), 0u);
}

TEST(ServerUnreachable, StopWithoutStartDoesNothing) {
    PulseSoundOutput output("unix:/nonexistent/calmfield/native");
    output.stop();
    output.stop();
    EXPECT_EQ(output.sampleRate(), 0u);
}

template <typename Server> class ServerSoundOutput : public testsupport::ServerTest<Server> {
  protected:
    void SetUp() override { this->startServer(44100); }
};
TYPED_TEST_SUITE(ServerSoundOutput, testsupport::SoundServers);

// The cases that need no more than one kind of server.
using ServerPulseSoundOutput = ServerSoundOutput<PrivatePulseServer>;

TEST_F(ServerPulseSoundOutput, PlaysAtTheServerRateUntilStopped) {
    CountingRenderer renderer;
    PulseSoundOutput output(server.address());
    ASSERT_TRUE(output.start(renderer, 5s).ok());
    EXPECT_EQ(output.sampleRate(), 44100u);
    EXPECT_EQ(output.connections(), 1u);
    EXPECT_TRUE(soundReachesSink(3s));
    EXPECT_EQ(renderer.lastRate(), 44100u);
    EXPECT_GT(renderer.frames(), 44100u / 10);

    output.stop();
    const unsigned callsAtStop = renderer.calls();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(renderer.calls(), callsAtStop);
    EXPECT_EQ(output.sampleRate(), 0u);
    EXPECT_FALSE(soundReachesSink(300ms));
    output.stop();

    ASSERT_TRUE(output.start(renderer, 5s).ok());
    EXPECT_TRUE(soundReachesSink(3s));
}

// The program's output plays natively on PipeWire, through PulseAudio elsewhere, and chooses so
// again when the server comes back.
TYPED_TEST(ServerSoundOutput, SoundResumesWhenTheServerComesBack) {
    constexpr bool kPipeWire = std::is_same_v<TypeParam, testsupport::PrivatePipeWireServer>;
    CountingRenderer renderer;
    DesktopSoundOutput output(this->server.address());
    ASSERT_TRUE(output.start(renderer, 5s).ok());
    EXPECT_EQ(output.native(), kPipeWire);
    ASSERT_TRUE(this->soundReachesSink(3s));

    ASSERT_TRUE(this->restartServer()) << this->server.error();
    EXPECT_TRUE(this->soundReachesSink(5s));
    EXPECT_EQ(output.connections(), 2u);
    EXPECT_EQ(output.native(), kPipeWire);
    EXPECT_EQ(output.sampleRate(), 44100u);
}

// A recording of the sink must begin before the output is back, which it does when the server
// answers again only just in time; the restart is tried a few times.
using ServerPipeWireSoundOutput = ServerSoundOutput<testsupport::PrivatePipeWireServer>;

TEST_F(ServerPipeWireSoundOutput, SoundComesBackWithAFadeInAfterPipeWireRestarts) {
    CountingRenderer renderer;
    DesktopSoundOutput output(server.address());
    ASSERT_TRUE(output.start(renderer, 5s).ok());
    ASSERT_TRUE(soundReachesSink(3s));

    constexpr std::ptrdiff_t kFrames20ms = 44100 / 50;
    for (int attempt = 0; attempt < 5; ++attempt) {
        ASSERT_TRUE(restartServer()) << server.error();
        const auto recording =
            testsupport::recordSource(server.address(), server.monitorSourceName(), 44100,
                                      DesktopSoundOutput::kRetryInterval + 2500ms);
        const auto onset = std::find_if(recording.begin(), recording.end(),
                                        [](float sample) { return sample != 0.0f; });
        if (onset == recording.begin())
            continue; // back before the recording began
        ASSERT_GT(std::distance(onset, recording.end()), 2 * kFrames20ms) << "no sound came back";
        EXPECT_LT(*onset, 0.01f) << "came back at full level";
        EXPECT_NEAR(*(onset + 2 * kFrames20ms), 0.1f, 0.002f) << "did not reach its level";
        return;
    }
    FAIL() << "the output was always back before the recording began";
}

TYPED_TEST(ServerSoundOutput, AnIdleRendererIsCorkedAndNotAskedAgainUntilWoken) {
    CountingRenderer renderer;
    DesktopSoundOutput output(this->server.address());
    ASSERT_TRUE(output.start(renderer, 5s).ok());
    ASSERT_TRUE(this->soundReachesSink(3s));
    EXPECT_TRUE(this->waitForStream(false, 1s));

    renderer.setIdle(true);
    ASSERT_TRUE(this->waitForStream(true, PulseSoundOutput::kLatency + 2s));
    const unsigned callsWhileCorked = renderer.calls();
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(renderer.calls(), callsWhileCorked);

    renderer.setIdle(false);
    output.wake();
    EXPECT_TRUE(this->waitForStream(false, 1s));
    EXPECT_TRUE(this->soundReachesSink(2s));
}

// Through PulseAudio two seconds of audio are queued, yet a change replaces them from just ahead of
// the speakers, and crossfades into it rather than stepping; natively a cycle is all that is
// queued.
TYPED_TEST(ServerSoundOutput, AChangeIsHeardWithinASixthOfASecondWithoutAStep) {
    CountingRenderer renderer;
    DesktopSoundOutput output(this->server.address());
    ASSERT_TRUE(output.start(renderer, 5s).ok());
    ASSERT_TRUE(this->soundReachesSink(3s));
    testsupport::SourceRecorder recorder(this->server.address(), this->server.monitorSourceName(),
                                         44100);
    ASSERT_TRUE(recorder.connected()) << recorder.error();
    recorder.record(1500ms); // the level played before the recording began has passed

    for (const float level : {0.3f, 0.1f}) {
        std::vector<float> heard = recorder.record(200ms);
        renderer.setLevel(level);
        output.wake();
        const auto changed = std::chrono::steady_clock::now();
        auto lastChunk = heard;
        while (std::abs(lastChunk.back() - level) > 0.001f &&
               std::chrono::steady_clock::now() - changed < 1s) {
            lastChunk = recorder.record(5ms);
            heard.insert(heard.end(), lastChunk.begin(), lastChunk.end());
        }
        EXPECT_LT(std::chrono::steady_clock::now() - changed, 150ms) << "heard late, at " << level;
        if (output.native())
            continue; // it rewrites nothing it has passed on: what is heard is the renderer's own
        for (std::size_t n = 2; n < heard.size(); ++n)
            ASSERT_LT(std::abs(heard[n] - heard[n - 2]), 0.01f) << "a step at sample " << n;
    }
}

// Retrying while the server is away neither piles up connections nor keeps the caller waiting.
TEST_F(ServerPulseSoundOutput, RetriesWithoutLeakingAndStopsWhileTheServerIsAway) {
    CountingRenderer renderer;
    PulseSoundOutput output(server.address());
    ASSERT_TRUE(output.start(renderer, 5s).ok());
    server.stop();

    std::this_thread::sleep_for(PulseSoundOutput::kRetryInterval + 500ms);
    const std::size_t filesAfterFirstRetry = openFileCount();
    std::this_thread::sleep_for(3 * PulseSoundOutput::kRetryInterval);
    EXPECT_LE(openFileCount(), filesAfterFirstRetry);
    EXPECT_EQ(output.sampleRate(), 0u);
    EXPECT_EQ(output.connections(), 1u);

    const unsigned callsBeforeStop = renderer.calls();
    output.stop();
    ASSERT_TRUE(server.start(44100)) << server.error();
    EXPECT_FALSE(soundReachesSink(PulseSoundOutput::kRetryInterval + 500ms));
    EXPECT_EQ(renderer.calls(), callsBeforeStop);
}

} // namespace
} // namespace calmfield::sound

namespace calmfield::sound {
namespace {

// As on many desktops: the server's default rate is 44.1 kHz, its output plays at 48 kHz, and
// headphones that become the default play at 44.1 kHz.
TEST(ServerOutputRate, OpensAtItsOutputsRateAndFollowsAMoveOnlyAtTheNextSilence) {
    PrivatePulseServer server;
    ASSERT_TRUE(server.start(44100, true, 48000)) << server.error();
    CountingRenderer renderer;
    PulseSoundOutput output(server.address());
    ASSERT_TRUE(output.start(renderer, 5s).ok());
    EXPECT_EQ(output.sampleRate(), 48000u);
    ASSERT_TRUE(testsupport::waitForSound(server.address(), server.monitorSourceName(), 48000, 3s));
    EXPECT_EQ(renderer.lastRate(), 48000u);

    ASSERT_TRUE(server.pactl(
        {"load-module", "module-null-sink", "sink_name=headphones", "rate=44100", "channels=2"}));
    ASSERT_TRUE(server.pactl({"set-default-sink", "headphones"}));
    EXPECT_TRUE(testsupport::waitForSound(server.address(), "headphones.monitor", 44100, 5s));
    EXPECT_EQ(output.sampleRate(), 48000u) << "opened again while the noise played";

    renderer.setIdle(true);
    const auto deadline = std::chrono::steady_clock::now() + PulseSoundOutput::kLatency + 3s;
    while (output.sampleRate() != 44100u && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(50ms);
    EXPECT_EQ(output.sampleRate(), 44100u);
    renderer.setIdle(false);
    output.wake();
    EXPECT_TRUE(testsupport::waitForSound(server.address(), "headphones.monitor", 44100, 3s));
    EXPECT_EQ(renderer.lastRate(), 44100u);
    EXPECT_EQ(output.connections(), 1u);
}

} // namespace
} // namespace calmfield::sound
