// The listener's tone carried from one run to the next in the user's settings folder.

#include "session/NoiseSession.h"
#include "tests/support/FakeVolumePort.h"
#include "tests/support/MemorySoundOutput.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/WindowTestHelpers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace calmfield::testsupport {
namespace {

namespace fs = std::filesystem;

TEST(ToneFileKeeper, PutsADamagedFileAsideKeepsTheLastChangeAndSaysOnceThatItCannotWrite) {
    QTemporaryDir scratch;
    const fs::path root = scratch.path().toStdString();
    MemorySoundOutput output; // no channels are made, so every run's session may share it
    FakeVolumePort volumePort;
    RecordingMessageSink messages;
    const auto start = [&](const fs::path& userFolder) {
        return std::make_unique<session::NoiseSession>(session::SoundDevices{output, volumePort},
                                                       session::SessionFolders{root, userFolder},
                                                       messages);
    };
    const auto told = [&](const fs::path& file) {
        return messages.messages.filter(QString::fromStdString(file.string())).size();
    };

    fs::create_directories(root / "user");
    putFile(root / "user" / "tone", "calmfield tone 1\n31.5 Hz: loud\n");
    auto session = start(root / "user");
    EXPECT_TRUE(session->player().tone().flat());
    EXPECT_EQ(contentOf(root / "user" / "tone.damaged"), "calmfield tone 1\n31.5 Hz: loud\n");
    EXPECT_TRUE(waitUntil([&] { return told(root / "user" / "tone.damaged") == 1; }));
    engine::ToneSetting tone;
    tone.bandHalfDb[9] = -5;
    tone.notch = true;
    session->player().setTone(tone);
    session->end();
    EXPECT_EQ(start(root / "user")->player().tone(), tone) << "written as the run ends";

    putFile(root / "taken", "a file where the folder would be");
    session = start(root / "taken");
    session->player().setTone(tone);
    EXPECT_TRUE(waitUntil([&] { return told(root / "taken" / "tone") == 1; }));
    session->player().setTone(tone.flattened());
    session->end();
    EXPECT_EQ(told(root / "taken" / "tone"), 1);
}

} // namespace
} // namespace calmfield::testsupport
