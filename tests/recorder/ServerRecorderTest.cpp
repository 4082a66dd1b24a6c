// The recorder end to end: a tone played into a private sound server is recorded from the monitor
// of its default output through the recorder window's own buttons, played back, and saved through
// the save-name dialog.

#include "app/ProgramWindows.h"
#include "recorder/CommandInterpreter.h"
#include "recorder/windows/RecorderWindow.h"
#include "recorder/windows/SaveNameDialog.h"
#include "sound/PulseCaptureDevice.h"
#include "sound/PulseSoundOutput.h"
#include "tests/recorder/windows/RecorderControls.h"
#include "tests/support/PrivatePulseServer.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/SignalAnalysis.h"
#include "tests/support/SourceRecorder.h"
#include "tests/support/WindowTestHelpers.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <QTemporaryDir>

#include <cmath>
#include <numbers>

namespace calmfield::recorder {
namespace {

using namespace calmfield::testsupport;

using namespace std::chrono_literals;

constexpr double kToneHz = 1000.0;
constexpr std::uint32_t kRate = 44100;
// What the take must hold before it is stopped: a second of sound, counted in bytes.
constexpr double kWantedBytes = kRate * 2.0;

class Tone final : public engine::AudioRenderer {
  public:
    void render(float* out, std::size_t frames, std::uint32_t rate) noexcept override {
        for (std::size_t i = 0; i < frames; ++i) {
            out[2 * i] = out[2 * i + 1] = static_cast<float>(0.5 * std::sin(phase_));
            phase_ =
                std::fmod(phase_ + 2.0 * std::numbers::pi * kToneHz / rate, 2.0 * std::numbers::pi);
        }
    }

  private:
    double phase_ = 0.0;
};

// The take's size in bytes as the information readout shows it ("MBytes :  .0882\r\n...").
double shownBytes(const RecorderWindow& window) {
    const QString text = informationReadout(&window)->text();
    const qsizetype colon = text.indexOf(':');
    const qsizetype lineEnd = text.indexOf('\r');
    if (colon < 0 || lineEnd < colon)
        return -1.0;
    return text.mid(colon + 1, lineEnd - colon - 1).trimmed().toDouble() * 1e6;
}

TEST(ServerRecorder, RecordsWhatTheServerPlaysPlaysItBackAndSavesItWhole) {
    testsupport::PrivatePulseServer server;
    ASSERT_TRUE(server.start(kRate)) << server.error();
    Tone tone;
    sound::PulseSoundOutput output(server.address());
    ASSERT_TRUE(output.start(tone, 5s).ok());
    ASSERT_TRUE(
        testsupport::waitForSound(server.address(), server.monitorSourceName(), kRate, 10s));

    QTemporaryDir scratch;
    const std::filesystem::path home = scratch.path().toStdString();
    CommandInterpreter commands(
        [&] { return std::make_unique<sound::PulseCaptureDevice>(server.address()); }, home, home);
    testsupport::RecordingMessageSink messages;
    app::ProgramWindows windows([](const QUrl&) { return false; }, [] {},
                                RecorderServices{commands, messages, home});
    windows.showRecorder();
    RecorderWindow* recorder = windows.recorderWindow();
    ASSERT_NE(recorder, nullptr);

    recordButton(recorder)->click();
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return modeReadout(recorder)->text() == " recording"; }, 5s));
    ASSERT_TRUE(testsupport::waitUntil([&] { return shownBytes(*recorder) >= kWantedBytes; }, 20s));
    stopButton(recorder)->click();
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return modeReadout(recorder)->text() == " stopped"; }, 5s));
    const double reported = shownBytes(*recorder);

    playButton(recorder)->click();
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return modeReadout(recorder)->text() == " playing"; }, 5s));
    EXPECT_TRUE(
        testsupport::waitUntil([&] { return modeReadout(recorder)->text() == " stopped"; }, 20s));
    EXPECT_EQ(shownBytes(*recorder), reported);

    saveButton(recorder)->click();
    SaveNameDialog* dialog = windows.saveNameDialog();
    ASSERT_NE(dialog, nullptr);
    nameBox(dialog)->setText("tone");
    saveNameButton(dialog)->click();
    const std::filesystem::path saved = home / "tone.wav";

    SF_INFO info{};
    SNDFILE* wave = sf_open(saved.c_str(), SFM_READ, &info);
    ASSERT_NE(wave, nullptr) << sf_strerror(nullptr);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_U8);
    EXPECT_EQ(info.samplerate, static_cast<int>(kRate));
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(static_cast<double>(info.frames * 2), reported);
    std::vector<float> samples(static_cast<std::size_t>(info.frames * 2));
    sf_read_float(wave, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(wave);
    const auto spectrum = testsupport::averagedSpectrum(samples, 2, kRate);
    EXPECT_NEAR(testsupport::strongestFrequency(spectrum), kToneHz, 5.0);
    EXPECT_GT(testsupport::rmsDecibels(samples), -12.0);
}

} // namespace
} // namespace calmfield::recorder
