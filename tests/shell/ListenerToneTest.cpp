// The listener's tone carried from one run to the next in the user's settings folder.

#include "app/NoiseSession.h"
#include "persistence/ToneFile.h"
#include "tests/support/FakeVolumePort.h"
#include "tests/support/MemorySoundOutput.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/WindowTestHelpers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace calmfield::testing {
namespace {

namespace fs = std::filesystem;
using engine::ToneSetting;
using testsupport::contentOf;
using testsupport::putFile;
using testsupport::waitUntil;

class ListenerToneTest : public ::testing::Test {
  protected:
    std::unique_ptr<app::NoiseSession> start(const fs::path& userFolder) {
        return std::make_unique<app::NoiseSession>(
            output, speakers, app::SessionFolders{root / "program", userFolder}, messages);
    }

    QTemporaryDir scratch;
    const fs::path root = scratch.path().toStdString();
    testsupport::MemorySoundOutput output;
    testsupport::FakeVolumePort speakers;
    testsupport::RecordingMessageSink messages;
};

TEST_F(ListenerToneTest, PutsADamagedFileAsideAndKeepsAChangeMadeJustBeforeTheEnd) {
    const fs::path user = root / "user";
    fs::create_directories(user);
    putFile(user / "tone", "calmfield tone 1\n31.5 Hz: loud\n");
    auto session = start(user);
    EXPECT_TRUE(session->player().tone().flat());
    EXPECT_EQ(contentOf(user / "tone.damaged"), "calmfield tone 1\n31.5 Hz: loud\n");
    ASSERT_TRUE(waitUntil([&] { return messages.messages.size() == 1; }));
    EXPECT_TRUE(messages.messages[0].contains(QStringLiteral("tone.damaged")));

    ToneSetting tone;
    tone.bandHalfDb[9] = -5;
    tone.notch = true;
    session->player().setTone(tone);
    session->end();
    EXPECT_EQ(start(user)->player().tone(), tone);
    EXPECT_EQ(messages.messages.size(), 1);
}

TEST_F(ListenerToneTest, SaysOncePerRunThatTheToneCannotBeKept) {
    const fs::path taken = root / "taken";
    putFile(taken, "a file where the folder would be");
    auto session = start(taken);
    ToneSetting tone;
    tone.bandHalfDb[0] = 1;
    session->player().setTone(tone);
    ASSERT_TRUE(waitUntil([&] { return !messages.messages.isEmpty(); }));
    tone.bandHalfDb[0] = 2;
    session->player().setTone(tone);
    session->end();
    const QString file = QString::fromStdString((taken / "tone").string());
    EXPECT_EQ(messages.messages.filter(file).size(), 1)
        << messages.messages.join(u'\n').toStdString();
}

} // namespace
} // namespace calmfield::testing
