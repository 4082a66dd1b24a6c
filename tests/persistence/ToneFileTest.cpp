#include "persistence/ToneFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace calmfield::persistence {
namespace {

using engine::ToneSetting;
using Kind = ToneFileFailure::Kind;

TEST(ToneFile, ReadsBackEveryHalfDecibelAndEveryNotchCentre) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("tone"));
    ToneSetting tone;
    tone.bandHalfDb = {-24, 24, -1, 1, 0, 7, -13, 2, 23, -23};
    for (int step = ToneSetting::kLowestNotchStep; step <= ToneSetting::kHighestNotchStep; ++step) {
        tone.notchStep = step;
        tone.notch = step % 2 == 0;
        tone.notchDepthDb = ToneSetting::kShallowestNotchDb + step % 31;
        const auto parsed = parseTone(formatTone(tone));
        ASSERT_TRUE(parsed.ok()) << parsed.reason().toStdString();
        EXPECT_EQ(parsed.value(), tone) << formatTone(tone);
    }
    ASSERT_TRUE(writeToneFile(file, tone).ok());
    const auto read = readToneFile(file);
    ASSERT_TRUE(read.ok()) << read.reason().reason.toStdString();
    EXPECT_EQ(read.value(), tone);
}

TEST(ToneFile, TellsAMissingFileFromADamagedOne) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("tone"));
    EXPECT_EQ(readToneFile(file).reason().kind, Kind::missing);

    ToneSetting tone;
    tone.bandHalfDb[0] = 3;
    const std::string good = formatTone(tone);
    const auto edited = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        return text.replace(text.find(from), from.size(), to);
    };
    for (const std::string& damaged :
         {good.substr(0, good.size() - 1), good.substr(0, good.find("notch:")), good + "\n",
          edited("tone 1", "tone 2"), edited("31.5 Hz", "32 Hz"), edited("+1.5 dB", "+1.25 dB"),
          edited("+1.5 dB", "+12.5 dB"), edited("notch: off", "notch: no"),
          edited("centre: 4000", "centre: 4100"), edited("depth: 30", "depth: 41")})
        EXPECT_FALSE(parseTone(damaged).ok()) << damaged;

    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(QByteArray::fromStdString(good + "\n"));
    out.close();
    EXPECT_EQ(readToneFile(file).reason().kind, Kind::damaged);
}

} // namespace
} // namespace calmfield::persistence
