#include "recorder/CommandInterpreter.h"
#include "tests/recorder/FakeCaptureDevice.h"
#include "tests/support/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <QTemporaryDir>

#include <chrono>
#include <filesystem>
#include <thread>

namespace calmfield::recorder {
namespace {

using testsupport::FakeCaptureDevice;

std::vector<std::uint8_t> bytes(std::size_t count, std::uint8_t first = 0) {
    std::vector<std::uint8_t> made(count);
    for (std::size_t i = 0; i < count; ++i)
        made[i] = static_cast<std::uint8_t>(first + i);
    return made;
}

struct WaveFile {
    SF_INFO info{};
    std::vector<std::uint8_t> data;
};

// The format and the raw 8-bit data of a saved take.
WaveFile readWave(const std::filesystem::path& file) {
    WaveFile wave;
    SNDFILE* opened = sf_open(file.c_str(), SFM_READ, &wave.info);
    if (opened == nullptr)
        return wave;
    wave.data.resize(static_cast<std::size_t>(wave.info.frames * wave.info.channels));
    wave.data.resize(static_cast<std::size_t>(
        sf_read_raw(opened, wave.data.data(), static_cast<sf_count_t>(wave.data.size()))));
    sf_close(opened);
    return wave;
}

class Interpreter : public ::testing::Test {
  protected:
    explicit Interpreter(std::uint64_t takeLimit = CaptureElement::kWaveDataLimit)
        : commands([this] { return std::make_unique<FakeCaptureDevice>(server); }, home,
                   spoolFolder, takeLimit) {
        std::filesystem::create_directories(spoolFolder);
    }

    // Sends a command that must succeed and gives its reply.
    std::string ok(std::string_view command) {
        const CommandReply reply = commands.send(command);
        EXPECT_EQ(reply.code, 0) << command << ": " << reply.reason;
        return reply.reply;
    }
    std::string length() {
        ok("set capture time format bytes");
        return ok("status capture length");
    }
    // The five commands that start a take.
    void startTake(std::uint32_t rate = 44100) {
        for (const std::string& command :
             {std::string("seek capture to start"),
              "set capture samplespersec " + std::to_string(rate),
              std::string("set capture bitspersample 8"), std::string("set capture channels 2"),
              std::string("record capture")})
            ok(command);
    }
    // Entries of this process's open files that lie in the spool folder.
    int openSpoolFiles() const {
        int found = 0;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code error;
            const auto target = std::filesystem::read_symlink(entry.path(), error).string();
            found += !error && target.rfind(spoolFolder.string() + "/", 0) == 0;
        }
        return found;
    }

    QTemporaryDir scratch;
    std::filesystem::path home = scratch.path().toStdString();
    std::filesystem::path spoolFolder = home / "spool";
    FakeCaptureDevice::Server server;
    CommandInterpreter commands;
};

TEST_F(Interpreter, RecordsStopsPlaysAndAnswersBothQueriesInEachState) {
    ok("open new type waveaudio alias capture");
    EXPECT_EQ(ok("status capture mode"), "stopped");
    EXPECT_EQ(length(), "0");
    // An empty element saves as a valid file with no frames.
    ok("save capture c:\\empty.wav");
    const WaveFile empty = readWave(home / "empty.wav");
    EXPECT_EQ(empty.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_U8);
    EXPECT_EQ(empty.info.channels, 2);
    EXPECT_EQ(empty.info.frames, 0);

    EXPECT_EQ(commands.send("open new type waveaudio alias capture").code, kAliasInUse);
    startTake();
    EXPECT_EQ(ok("status capture mode"), "recording");
    EXPECT_EQ(server.format.rate, 44100u);
    EXPECT_EQ(server.format.channels, 2);
    server.capture(bytes(1000));
    EXPECT_EQ(length(), "1000");
    // The take lives in an unnamed spool file.
    EXPECT_TRUE(std::filesystem::is_empty(spoolFolder));
    EXPECT_EQ(openSpoolFiles(), 1);
    server.capture(bytes(764, 1000 % 256));
    EXPECT_EQ(length(), "1764");

    ok("stop capture");
    EXPECT_EQ(ok("status capture mode"), "stopped");
    // The default time format counts milliseconds: 1764 bytes at 88200 bytes a second.
    ok("set capture time format milliseconds");
    EXPECT_EQ(ok("status capture length"), "20");

    ok("play capture from 0");
    EXPECT_EQ(ok("status capture mode"), "playing");
    EXPECT_EQ(server.playToEnd(), bytes(1764));
    EXPECT_EQ(ok("status capture mode"), "stopped");
    EXPECT_EQ(length(), "1764");

    // Playing again while playing starts at 0 again.
    ok("play capture from 0");
    ok("play capture from 0");
    EXPECT_EQ(server.playToEnd().size(), 1764u);
    // A position far past the take, however far, plays nothing: it never wraps around into it.
    ok("set capture time format ms");
    ok("play capture from 209146758205324");
    EXPECT_TRUE(server.playToEnd().empty());

    ok("close capture");
    EXPECT_EQ(commands.send("status capture mode").code, kNoSuchAlias);
    EXPECT_EQ(openSpoolFiles(), 0);
    EXPECT_TRUE(std::filesystem::is_empty(spoolFolder));
}

TEST_F(Interpreter, BadCommandsFailWithACodeAndAReasonAndChangeNothing) {
    EXPECT_EQ(commands.send("status capture mode").code, kNoSuchAlias);
    EXPECT_EQ(commands.send("status capture mode").reason, "the recorder is not open");
    EXPECT_EQ(commands.send("open new type cdaudio alias capture").code, kUnknownCommand);
    ok("open new type waveaudio alias capture");
    startTake();
    server.capture(bytes(100));

    for (const char* bad :
         {"", "   ", "rewind capture", "record", "record capture now", "set capture samplespersec",
          "set capture samplespersec fast", "set capture bitspersample 16",
          "set capture channels 6", "set capture time format frames", "seek capture to middle",
          "play capture from -5", "status capture volume", "save capture", "status other mode",
          "open new type waveaudio alias"}) {
        const CommandReply reply = commands.send(bad);
        EXPECT_NE(reply.code, 0) << '"' << bad << '"';
        EXPECT_FALSE(reply.reason.empty()) << '"' << bad << '"';
        EXPECT_TRUE(reply.reply.empty()) << '"' << bad << '"';
    }
    EXPECT_EQ(ok("status capture mode"), "recording");
    EXPECT_EQ(length(), "100");
    EXPECT_EQ(commands.send("save capture c:\\busy.wav").code, kDeviceBusy);
    EXPECT_FALSE(std::filesystem::exists(home / "busy.wav"));
}

TEST_F(Interpreter, WithoutASoundServerCommandsSayWhyAndATakeKeepsWhatWasCaptured) {
    server.reachable = false;
    EXPECT_EQ(commands.send("open new type waveaudio alias capture").code, kDeviceNotReady);
    const CommandReply save = commands.send("save capture c:\\rain.wav");
    EXPECT_EQ(save.code, kNoSuchAlias);
    EXPECT_EQ(save.reason, "the sound server cannot be reached");
    EXPECT_TRUE(commands.send("status capture length").reply.empty());
    EXPECT_FALSE(std::filesystem::exists(home / "rain.wav"));

    // The server comes back, then goes away in the middle of a take.
    server.reachable = true;
    ok("open new type waveaudio alias capture");
    startTake();
    server.capture(bytes(300));
    server.goAway();
    EXPECT_EQ(ok("status capture mode"), "not ready");
    EXPECT_EQ(length(), "300");
    EXPECT_NE(commands.send("record capture").code, 0);
    server.reachable = true;
    EXPECT_EQ(ok("status capture mode"), "stopped");
    ok("save capture c:\\kept.wav");
    EXPECT_EQ(readWave(home / "kept.wav").data, bytes(300));
}

TEST_F(Interpreter, SavesTheLatestTakeWholeAndAFailedSaveSaysWhyAndLeavesNothingBehind) {
    ok("open new type waveaudio alias capture");
    startTake();
    server.capture(bytes(600, 7));
    // Recording again from the start replaces the take.
    startTake(11025);
    server.capture(bytes(5000, 200));
    ok("stop capture");
    EXPECT_EQ(length(), "5000");

    const CommandReply missing = commands.send("save capture c:\\no such folder\\rain.wav");
    EXPECT_EQ(missing.code, kFileNotSaved);
    EXPECT_EQ(missing.reason, "the folder does not exist");
    std::filesystem::create_directory(home / "folder.wav");
    EXPECT_EQ(commands.send("save capture c:\\folder.wav").reason, "a folder has that name");
    EXPECT_EQ(commands.send("save capture c:\\spool\\..\\..\\escape.wav").reason,
              "the name leads out of the home folder");
    EXPECT_FALSE(std::filesystem::exists(home.parent_path() / "escape.wav"));
    {
        // A disk with room for the header and part of the take only.
        testsupport::FileSizeLimit limit(1000);
        ASSERT_TRUE(limit.active());
        EXPECT_EQ(commands.send("save capture c:\\full.wav").code, kFileNotSaved);
    }
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(home))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"folder.wav", "spool"}));

    // The take is still there to be saved, as often as wanted and under any drive letter case.
    ok("save capture c:\\rain.wav");
    ok("save capture C:\\my rain.wav");
    for (const char* name : {"rain.wav", "my rain.wav"}) {
        const WaveFile wave = readWave(home / name);
        EXPECT_EQ(wave.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_U8) << name;
        EXPECT_EQ(wave.info.samplerate, 11025) << name;
        EXPECT_EQ(wave.info.channels, 2) << name;
        EXPECT_EQ(wave.data, bytes(5000, 200)) << name;
    }
    EXPECT_EQ(length(), "5000");
}

TEST_F(Interpreter, AFullDiskEndsTheTakeWithWhatWasWritten) {
    ok("open new type waveaudio alias capture");
    startTake();
    {
        testsupport::FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.active());
        server.capture(bytes(3000));
        server.capture(bytes(3001)); // an odd count keeps whole frames only
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (ok("status capture mode") == "recording" &&
               std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(ok("status capture mode"), "stopped");
    EXPECT_EQ(length(), "4096");
    ok("save capture c:\\partial.wav");
    EXPECT_EQ(readWave(home / "partial.wav").data.size(), 4096u);
}

struct LimitedInterpreter : Interpreter {
    LimitedInterpreter() : Interpreter(1001) {}
};

TEST_F(LimitedInterpreter, ATakeEndsAtTheLargestSizeAWaveFileHolds) {
    ok("open new type waveaudio alias capture");
    startTake();
    server.capture(bytes(800));
    server.capture(bytes(800));
    EXPECT_EQ(ok("status capture mode"), "stopped");
    EXPECT_EQ(length(), "1000");
}

} // namespace
} // namespace calmfield::recorder
