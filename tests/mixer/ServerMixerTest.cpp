// The master volume against real sound servers: private PulseAudio and PipeWire ones, each with a
// null sink.

#include "app/ProgramWindows.h"
#include "mixer/Module3.h"
#include "platform/PulseSystemMixer.h"
#include "shell/MainWindow.h"
#include "tests/support/MemorySoundOutput.h"
#include "tests/support/SoundServers.h"
#include "widgets/MessageSink.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <cstdlib>

namespace calmfield {
namespace {

using namespace std::chrono_literals;
using mixer::Module3::MixerControl;

class CollectedMessages final : public widgets::MessageSink {
  public:
    void showMessage(const QString& text) override { texts.append(text); }
    bool askYesNo(const QString& question) override {
        ADD_FAILURE() << "the main window asked: " << question.toStdString();
        return false;
    }
    QStringList texts;
};

// The sink's volume once it settles on `expected` on every channel, or the last one read.
template <typename Server>
std::vector<std::uint32_t> sinkVolumeSettlingOn(Server& server, std::uint32_t expected) {
    QElapsedTimer clock;
    clock.start();
    std::vector<std::uint32_t> volume = server.sinkVolume();
    while (clock.elapsed() < 3000 &&
           !(volume.size() == 2 && volume[0] == expected && volume[1] == expected)) {
        QThread::msleep(20);
        volume = server.sinkVolume();
    }
    return volume;
}

std::vector<std::uint32_t> onBothChannels(std::uint32_t value) {
    return {value, value};
}

// The main window, started up against `mixer` with no sound output of its own.
class StartedForm {
  public:
    explicit StartedForm(platform::SystemMixer& mixer)
        : form({output, mixer, messages, programFolder(), [](const QUrl&) { return false; },
                [] { return false; }, nullptr, userFolder.path().toStdString()}) {
        windows.adoptMainWindow(form);
        form.startUp();
    }

    static std::string programFolder() {
        const char* folder = std::getenv("CALMFIELD_PROGRAM_DIR");
        return folder != nullptr ? folder : "";
    }

    testsupport::MemorySoundOutput output{22050};
    CollectedMessages messages;
    app::ProgramWindows windows{[](const QUrl&) { return false; }, [] {}};
    QTemporaryDir userFolder;
    shell::MainWindow form;
};

TEST(MixerWithoutServer, OpeningFailsInTimeWhenNoServerAnswers) {
    platform::PulseSystemMixer nowhere("unix:/nonexistent/calmfield/native");
    EXPECT_FALSE(nowhere.open(2s));
    MixerControl control;
    EXPECT_FALSE(mixer::Module3::FindLineControl(
        nowhere, mixer::Module3::MIXERLINE_COMPONENTTYPE_DST_SPEAKERS,
        mixer::Module3::MIXERCONTROL_CONTROLTYPE_VOLUME, control));
    EXPECT_FALSE(mixer::Module3::SetControlValue(nowhere, control, 1000));
}

// At login the program may start before the server has set up a sound card.
TEST(MixerWithoutSink, TheMasterSliderReachesASinkThatTurnsUpAfterStartUp) {
    testsupport::PrivatePulseServer server;
    ASSERT_TRUE(server.start(48000, false)) << server.error();
    platform::PulseSystemMixer mixer(server.address());
    StartedForm started(mixer);
    started.form.masterVolumeSlider->setValue(32750);
    ASSERT_TRUE(server.addSink()) << server.log();
    EXPECT_EQ(sinkVolumeSettlingOn(server, 65172), onBothChannels(65172));
}

template <typename Server> class ServerMixer : public testsupport::ServerTest<Server> {
  protected:
    void SetUp() override { this->startServer(48000); }
};
TYPED_TEST_SUITE(ServerMixer, testsupport::SoundServers);

TYPED_TEST(ServerMixer, TheSpeakersVolumeIsTheDefaultSinksVolume) {
    platform::PulseSystemMixer mixer(this->server.address());
    ASSERT_TRUE(mixer.open(3s));
    MixerControl control;
    ASSERT_TRUE(
        mixer::Module3::FindLineControl(mixer, mixer::Module3::MIXERLINE_COMPONENTTYPE_DST_SPEAKERS,
                                        mixer::Module3::MIXERCONTROL_CONTROLTYPE_VOLUME, control));
    for (const std::uint32_t value : {31840u, 0u, 65172u, 2u}) {
        EXPECT_TRUE(
            mixer::Module3::SetControlValue(mixer, control, static_cast<std::int32_t>(value)));
        EXPECT_EQ(sinkVolumeSettlingOn(this->server, value), onBothChannels(value));
    }
}

// Start-up leaves the sink's volume alone. The last position set while the server is away reaches
// it once it is back, and Mute works on the new server.
TYPED_TEST(ServerMixer, TheMasterSliderAndMuteSetTheSinkAlsoAfterTheServerRestarts) {
    ASSERT_TRUE(this->server.setSinkVolume(50000));
    platform::PulseSystemMixer mixer(this->server.address());
    StartedForm started(mixer);
    shell::MainWindow& form = started.form;
    EXPECT_TRUE(started.messages.texts.isEmpty())
        << started.messages.texts.join("\n").toStdString();
    EXPECT_NE(form.player().speakerVolumeControl(), 0u);
    EXPECT_EQ(this->server.sinkVolume(), onBothChannels(50000));
    form.masterVolumeSlider->setValue(32750);
    ASSERT_EQ(sinkVolumeSettlingOn(this->server, 65172), onBothChannels(65172));

    this->server.stop();
    form.masterVolumeSlider->setValue(8000);
    form.masterVolumeSlider->setValue(16000);
    ASSERT_TRUE(this->server.start(48000)) << this->server.error();
    QElapsedTimer sinceRestart;
    sinceRestart.start();
    EXPECT_EQ(sinkVolumeSettlingOn(this->server, 31840), onBothChannels(31840));
    this->RecordProperty("volumeAppliedAfterRestartMs", static_cast<int>(sinceRestart.elapsed()));

    form.muteButton->click(); // Mute
    EXPECT_EQ(sinkVolumeSettlingOn(this->server, 0), onBothChannels(0));
    form.muteButton->click();
    EXPECT_EQ(sinkVolumeSettlingOn(this->server, 31840), onBothChannels(31840));
}

} // namespace
} // namespace calmfield
