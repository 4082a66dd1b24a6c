// The built program rendering a mix to a file, with no display, sound server or running copy.

#include "tests/support/ProgramCopy.h"

#include "persistence/ToneFile.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ServerTools.h"
#include "tests/support/SignalAnalysis.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <thread>

namespace calmfield {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::fileContent;

class RenderCommand : public ::testing::Test {
  protected:
    RenderCommand() {
        fs::create_directories(out);
        fs::create_directories(root / "runtime");
        // Any attempt to reach a window system or a sound server would fail or abort.
        environment.push_back("QT_QPA_PLATFORM=xcb");
        environment.push_back("PULSE_SERVER=unix:" + (root / "no-server").string());
        environment.push_back("HOME=" + (root / "home").string());
        environment.push_back("XDG_RUNTIME_DIR=" + (root / "runtime").string());
    }
    ~RenderCommand() override { fs::remove_all(root); }

    std::pair<int, std::string> run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), program);
        const auto log = root / ("run" + std::to_string(++runs) + ".log");
        const auto status = testsupport::runProgram(arguments, environment, log, 30s);
        return {status.value_or(-1), fileContent(log)};
    }
    std::string outFile(const char* name) const { return (out / name).string(); }
    static void write(const fs::path& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    }

    const fs::path root =
        fs::temp_directory_path() / ("calmfield-render-" + std::to_string(::getpid()));
    const fs::path out = root / "out";
    const std::string program = (testsupport::programFolderIn(root) / "calmfield").string();
    std::vector<std::string> environment = testsupport::environmentWithout(
        {"DISPLAY=", "WAYLAND_", "QT_QPA_", "PULSE_", "HOME=", "XDG_"});
    int runs = 0;
};

// The samples of a rendered file, interleaved; `info` takes its format.
std::vector<float> samplesOf(const fs::path& file, SF_INFO& info) {
    SNDFILE* sound = sf_open(file.c_str(), SFM_READ, &info);
    if (sound == nullptr)
        return {};
    std::vector<float> samples(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(sound, samples.data(), info.frames);
    sf_close(sound);
    return samples;
}

// The power of a rendered file in the third of an octave around `centreHz`, in decibels.
double levelAround(const fs::path& file, double centreHz) {
    SF_INFO info{};
    const std::vector<float> samples = samplesOf(file, info);
    if (samples.empty())
        return -200.0;
    const auto spectrum = testsupport::averagedSpectrum(
        samples, static_cast<std::size_t>(info.channels), info.samplerate);
    double power = 1e-20;
    for (std::size_t bin = 0; bin < spectrum.power.size(); ++bin) {
        const double hz = static_cast<double>(bin) * spectrum.binWidthHz;
        if (std::abs(std::log2(hz / centreHz)) <= 1.0 / 6.0)
            power += spectrum.power[bin];
    }
    return 10.0 * std::log10(power);
}

TEST_F(RenderCommand, RefusesWhatCannotBeRenderedWithStatusTwoAndWritesNothing) {
    write(root / "greyed.clm", "2,0,0,0,0,0,0,0,0,0,32000,32000,32000,32000,32000\r\n");
    const std::vector<std::pair<std::vector<std::string>, std::string>> refusals{
        {{"--render", outFile("a.mp3"), "--length", "12s"}, "\".wav\", \".flac\", \".ogg\""},
        {{"--render", outFile("a.opus"), "--length", "1m", "--rate", "44100"}, "44100 Hz"},
        {{"--render", outFile("a.flac"), "--length", "11s"}, "\"11s\""},
        {{"--render", outFile("a.flac"), "--length", "25h"}, "\"25h\""},
        {{"--render", outFile("a.flac")}, "--length"},
        {{"--length", "12s"}, "only with --render"},
        {{"--flat"}, "only with --render"},
        {{"--render", outFile("a.flac"), "--length", "12s", "--sleep", "1h"}, "--sleep"},
        // With no settings file the mix has nothing ticked; a greyed colour plays no more.
        {{"--render", outFile("a.flac"), "--length", "12s"}, "No colour is ticked"},
        {{"--render", outFile("a.flac"), "--length", "12s", "--mix",
          (root / "greyed.clm").string()},
         "No colour is ticked"}};
    for (const auto& [arguments, named] : refusals) {
        const auto [status, message] = run(arguments);
        EXPECT_EQ(status, 2) << message;
        EXPECT_NE(message.find(named), std::string::npos) << message;
    }
    EXPECT_TRUE(fs::is_empty(out));
}

TEST_F(RenderCommand, RendersTheStartupMixSilentlyBesideARunningCopyAndStopsCleanOnCtrlC) {
    const fs::path settings = fs::path(program).parent_path() / "settings.ini";
    write(settings, "0,1,0,0,0,0,-600,0,0,0,32000,30000,32000,32000,32000,0\r\n");
    const auto [status, message] = run({"--render", outFile("pink.ogg"), "--length", "12s"});
    EXPECT_EQ(status, 0) << message;
    EXPECT_EQ(message, "") << "nothing but errors off a terminal";
    EXPECT_GT(fs::file_size(out / "pink.ogg"), 10000u);
    EXPECT_TRUE(fs::is_empty(root / "runtime")) << "the single-instance lock is left alone";

    const auto log = root / "stopped.log";
    auto render = testsupport::ChildProcess::spawn(
        {program, "--render", outFile("day.wav"), "--length", "24h"}, environment, log);
    ASSERT_TRUE(render);
    // The render's file beside its target, unnamed until it is complete, once it holds sound.
    const auto partWritten = [&] {
        std::error_code error;
        const fs::path descriptors = "/proc/" + std::to_string(render->pid()) + "/fd";
        for (const auto& descriptor : fs::directory_iterator(descriptors, error)) {
            const fs::path file = fs::read_symlink(descriptor.path(), error);
            if (!error && file.parent_path() == out && fs::file_size(descriptor.path(), error) > 0)
                return true;
        }
        return false;
    };
    for (auto waited = 0ms; !partWritten() && waited < 20s; waited += 20ms)
        std::this_thread::sleep_for(20ms);
    ASSERT_TRUE(partWritten()) << fileContent(log);
    ::kill(render->pid(), SIGINT);
    EXPECT_EQ(render->waitForExit(10s), -1) << "ended by the signal: " << fileContent(log);
    EXPECT_EQ(fileContent(log), "");
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(out))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"pink.ogg"});
}

TEST_F(RenderCommand, WritesAPlainWavAndEndsOnASignalOrADamagedSoundFileWithoutHanging) {
    const auto pinkMix = root / "pink.clm";
    write(pinkMix, "0,1,0,0,0,0,0,0,0,0,32000,32000,32000,32000,32000\r\n");
    const std::vector<std::string> render{"--render", outFile("pink.wav"), "--length", "12s",
                                          "--mix",    pinkMix.string()};
    ASSERT_EQ(run(render).first, 0);
    const auto log = root / "readers.log";
    testsupport::runProgram({"python3", "-c",
                             "import sys, wave; w = wave.open(sys.argv[1]); "
                             "print(w.getnchannels(), w.getsampwidth(), w.getnframes())",
                             outFile("pink.wav")},
                            environment, log, 30s);
    testsupport::runProgram({"soxi", "-e", outFile("pink.wav")}, environment, log, 30s);
    EXPECT_EQ(fileContent(log), "2 2 576000\nSigned Integer PCM\n");
    fs::remove(out / "pink.wav");

    // A load that never ends: a signal still ends the render, as itself.
    const auto stuck = root / "stuck";
    auto stuckEnvironment = environment;
    stuckEnvironment.push_back("LD_PRELOAD=" STUCK_SOUND_FILE_OPEN);
    stuckEnvironment.push_back("CALMFIELD_TEST_STUCK=" + stuck.string());
    std::vector<std::string> arguments = render;
    arguments.insert(arguments.begin(), program);
    auto stuckRender =
        testsupport::ChildProcess::spawn(arguments, stuckEnvironment, root / "stuck.log");
    ASSERT_TRUE(stuckRender);
    for (auto waited = 0ms; !fs::exists(stuck) && waited < 10s; waited += 20ms)
        std::this_thread::sleep_for(20ms);
    ASSERT_TRUE(fs::exists(stuck));
    ::kill(stuckRender->pid(), SIGTERM);
    EXPECT_EQ(stuckRender->waitForExit(3s), -1);
    ASSERT_TRUE(stuckRender->waitStatus());
    EXPECT_TRUE(WIFSIGNALED(*stuckRender->waitStatus()) &&
                WTERMSIG(*stuckRender->waitStatus()) == SIGTERM);

    const fs::path pink = fs::path(program).parent_path() / "Pink_Noise.Wav";
    fs::remove(pink);
    fs::copy_file(SOUND_FILE_SEEDS "/list_chunk_running_back.wav", pink);
    const auto [refused, message] = run(render);
    EXPECT_EQ(refused, 1);
    EXPECT_NE(message.find("Pink_Noise.Wav"), std::string::npos) << message;
    EXPECT_TRUE(fs::is_empty(out));
}

TEST_F(RenderCommand, ShapesTheRenderWithTheListenersToneUnlessToldFlat) {
    const auto pinkMix = root / "pink.clm";
    write(pinkMix, "0,1,0,0,0,0,-1200,0,0,0,32000,32000,32000,32000,32000\r\n");
    const fs::path toneFile = root / "home" / ".config" / "calmfield" / "tone";
    fs::create_directories(toneFile.parent_path());
    engine::ToneSetting quieter;
    quieter.bandHalfDb.fill(-24);
    ASSERT_TRUE(
        persistence::writeToneFile(QString::fromStdString(toneFile.string()), quieter).ok());
    std::vector<std::string> render{"--render", outFile("toned.wav"), "--length", "12s",
                                    "--mix",    pinkMix.string()};
    ASSERT_EQ(run(render).first, 0);
    render[1] = outFile("flat.wav");
    render.push_back("--flat");
    ASSERT_EQ(run(render).first, 0);
    for (const double hz : {250.0, 1000.0, 4000.0})
        EXPECT_NEAR(levelAround(out / "toned.wav", hz) - levelAround(out / "flat.wav", hz), -12.0,
                    1.0)
            << hz << " Hz";

    write(toneFile, "calmfield tone 1\n");
    render[1] = outFile("damaged.wav");
    render.pop_back();
    const auto [status, message] = run(render);
    EXPECT_EQ(status, 1);
    EXPECT_NE(message.find("--flat"), std::string::npos) << message;
    EXPECT_FALSE(fs::exists(out / "damaged.wav"));
    EXPECT_EQ(fileContent(toneFile), "calmfield tone 1\n") << "left for the program to put aside";
}

TEST_F(RenderCommand, TakesTheNotchsOctaveOutOfTheRender) {
    const auto whiteMix = root / "white.clm";
    write(whiteMix, "0,0,1,0,0,0,0,0,0,0,32000,32000,32000,32000,32000\r\n");
    const fs::path toneFile = root / "home" / ".config" / "calmfield" / "tone";
    fs::create_directories(toneFile.parent_path());
    engine::ToneSetting notched;
    notched.notch = true; // 4 kHz, 30 dB deep
    ASSERT_TRUE(
        persistence::writeToneFile(QString::fromStdString(toneFile.string()), notched).ok());
    std::vector<std::string> render{"--render", outFile("notched.wav"), "--length", "12s",
                                    "--mix",    whiteMix.string()};
    ASSERT_EQ(run(render).first, 0);
    render[1] = outFile("flat.wav");
    render.push_back("--flat");
    ASSERT_EQ(run(render).first, 0);
    const auto change = [&](double hz) {
        return levelAround(out / "notched.wav", hz) - levelAround(out / "flat.wav", hz);
    };
    EXPECT_LT(change(4000.0), -29.0) << "the third of an octave around the centre";
    for (const double hz : {2000.0, 8000.0})
        EXPECT_NEAR(change(hz), 0.0, 1.0) << hz << " Hz, an octave away";
}

TEST_F(RenderCommand, HearsABoostedBandLouderWhileTheMixKeepsItsLevel) {
    const auto pinkMix = root / "pink.clm";
    write(pinkMix, "0,1,0,0,0,0,0,0,0,0,32000,32000,32000,32000,32000\r\n");
    const fs::path toneFile = root / "home" / ".config" / "calmfield" / "tone";
    fs::create_directories(toneFile.parent_path());
    engine::ToneSetting boosted;
    boosted.bandHalfDb[5] = 24; // 1 kHz at +12 dB
    ASSERT_TRUE(
        persistence::writeToneFile(QString::fromStdString(toneFile.string()), boosted).ok());
    std::vector<std::string> render{"--render", outFile("boosted.wav"), "--length", "12s",
                                    "--mix",    pinkMix.string()};
    ASSERT_EQ(run(render).first, 0);
    render[1] = outFile("flat.wav");
    render.push_back("--flat");
    ASSERT_EQ(run(render).first, 0);
    const auto level = [](const fs::path& file) {
        SF_INFO info{};
        return testsupport::rmsDecibels(samplesOf(file, info));
    };
    EXPECT_NEAR(level(out / "boosted.wav"), level(out / "flat.wav"), 1.0);
    EXPECT_GT(levelAround(out / "boosted.wav", 1000.0) - levelAround(out / "flat.wav", 1000.0),
              6.0);
}

} // namespace
} // namespace calmfield
