// The master volume against a real sound server: a private PulseAudio daemon with a null sink.

#include "mixer/Module3.h"
#include "platform/MemorySoundOutput.h"
#include "platform/PulseSystemMixer.h"
#include "shell/Form1.h"
#include "shell/MessageSink.h"
#include "shell/ProgramWindows.h"
#include "tests/support/PrivatePulseServer.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <cstdlib>

namespace calmfield {
namespace {

using namespace std::chrono_literals;
using mixer::Module3::MixerControl;

class CollectedMessages final : public shell::MessageSink {
  public:
    void showMessage(const QString& text) override { texts.append(text); }
    bool askYesNo(const QString& question) override {
        ADD_FAILURE() << "the main window asked: " << question.toStdString();
        return false;
    }
    QStringList texts;
};

// The sink's volume once it settles on `expected` on every channel, or the last one read.
std::vector<std::uint32_t> sinkVolumeSettlingOn(testsupport::PrivatePulseServer& server,
                                                std::uint32_t expected) {
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

class ServerMixer : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server.start()) << server.error(); }

    testsupport::PrivatePulseServer server;
};

TEST_F(ServerMixer, OpeningFailsInTimeWhenNoServerAnswers) {
    platform::PulseSystemMixer nowhere("unix:/nonexistent/calmfield/native");
    EXPECT_FALSE(nowhere.open(2s));
    MixerControl control;
    EXPECT_FALSE(mixer::Module3::FindLineControl(
        nowhere, mixer::Module3::MIXERLINE_COMPONENTTYPE_DST_SPEAKERS,
        mixer::Module3::MIXERCONTROL_CONTROLTYPE_VOLUME, control));
    EXPECT_FALSE(mixer::Module3::SetControlValue(nowhere, control, 1000));
}

TEST_F(ServerMixer, TheSpeakersVolumeIsTheDefaultSinksVolume) {
    platform::PulseSystemMixer mixer(server.address());
    ASSERT_TRUE(mixer.open(3s));
    MixerControl control;
    ASSERT_TRUE(
        mixer::Module3::FindLineControl(mixer, mixer::Module3::MIXERLINE_COMPONENTTYPE_DST_SPEAKERS,
                                        mixer::Module3::MIXERCONTROL_CONTROLTYPE_VOLUME, control));
    for (const std::uint32_t value : {31840u, 0u, 65172u, 2u}) {
        EXPECT_TRUE(
            mixer::Module3::SetControlValue(mixer, control, static_cast<std::int32_t>(value)));
        EXPECT_EQ(sinkVolumeSettlingOn(server, value), (std::vector<std::uint32_t>{value, value}));
    }
}

TEST_F(ServerMixer, TheMasterSliderSetsTheSinkAndStartUpLeavesItAlone) {
    ASSERT_TRUE(server.setSinkVolume(50000));
    platform::MemorySoundOutput output(22050);
    platform::PulseSystemMixer mixer(server.address());
    CollectedMessages messages;
    shell::ProgramWindows windows([](const QUrl&) { return false; }, [] {});
    const char* folder = std::getenv("CALMFIELD_PROGRAM_DIR");
    QTemporaryDir userFolder;
    shell::Form1 form({output, mixer, messages, windows, folder ? folder : "",
                       [](const QUrl&) { return false; }, [] { return false; }, nullptr,
                       userFolder.path().toStdString()});
    form.startUp();
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join("\n").toStdString();
    EXPECT_NE(form.speakerVolumeControl().dwControlID, 0u);
    EXPECT_EQ(server.sinkVolume(), (std::vector<std::uint32_t>{50000, 50000}));

    form.HScroll2->setValue(32750);
    EXPECT_EQ(sinkVolumeSettlingOn(server, 65172), (std::vector<std::uint32_t>{65172, 65172}));
    form.HScroll2->setValue(16000);
    EXPECT_EQ(sinkVolumeSettlingOn(server, 31840), (std::vector<std::uint32_t>{31840, 31840}));
    form.Command4->click(); // Mute
    EXPECT_EQ(sinkVolumeSettlingOn(server, 0), (std::vector<std::uint32_t>{0, 0}));
    form.Command4->click();
    EXPECT_EQ(sinkVolumeSettlingOn(server, 31840), (std::vector<std::uint32_t>{31840, 31840}));
}

} // namespace
} // namespace calmfield
