// The run assembled once: a later start's sleep timer and the timer's end go through the same
// program whatever the front end, and a later start's mix shows the program.

#include "app/Program.h"
#include "instance/SingleInstance.h"
#include "tests/support/FakeVolumePort.h"
#include "tests/support/MemorySoundOutput.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/WindowTestHelpers.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <fstream>
#include <future>

namespace calmfield {
namespace {

using instance::SingleInstance;
using namespace std::chrono_literals;

// A later start handing `request` to the copy listening in `folder`, whose event loop runs
// meanwhile so that it can answer.
SingleInstance::Claim startAgain(const QTemporaryDir& folder, instance::InstanceRequest request) {
    auto later = std::async(std::launch::async, [&] {
        SingleInstance instance(folder.path().toStdString(), SingleInstance::Kind::window);
        return instance.claim(request);
    });
    testsupport::waitUntil([&] { return later.wait_for(0s) == std::future_status::ready; },
                           SingleInstance::kReachTimeout + SingleInstance::kAnswerTimeout);
    return later.get();
}

TEST(Program, AnswersLaterStartsAndEndsTheRunWhenTheSleepTimerDoes) {
    QTemporaryDir scratch;
    const std::filesystem::path root = scratch.path().toStdString();
    testsupport::MemorySoundOutput output;
    testsupport::FakeVolumePort volumePort;
    testsupport::RecordingMessageSink messages;
    std::chrono::milliseconds clock{1'000'000};
    std::vector<QByteArray> broughtForward;
    int endings = 0;
    app::Program program({
        .devices = {output, volumePort},
        .folders = {root, root / "user"},
        .messages = messages,
        .bringForward = [&](const QByteArray& token) { broughtForward.push_back(token); },
        .actions = {.raise = {}, .quit = [] {}},
        .endRun = [&] { ++endings; },
        .sleepClock = [&] { return clock; },
    });
    QTemporaryDir runtime;
    SingleInstance running(runtime.path().toStdString(), SingleInstance::Kind::window);
    ASSERT_EQ(running.claim(std::nullopt), SingleInstance::Claim::First);
    ASSERT_TRUE(program.answerLaterStarts(running));

    std::ofstream(root / "pink.clm") << "0,1,0,0,0,0,0,0,0,0,22050,22050,22050,22050,22050\r\n";
    const QByteArray path = QFile::encodeName(QString::fromStdString((root / "pink.clm").string()));
    EXPECT_EQ(startAgain(runtime, instance::OpenRequest{path, "token"}),
              SingleInstance::Claim::HandedOver);
    EXPECT_EQ(program.session().player().mix().toggles[1], 1) << messages.messages.join(u'\n').toStdString();
    EXPECT_EQ(broughtForward, std::vector<QByteArray>{"token"});

    EXPECT_EQ(startAgain(runtime, instance::SleepRequest{2min}), SingleInstance::Claim::HandedOver);
    auto& timer = program.session().player().sleepTimer();
    ASSERT_TRUE(testsupport::waitUntil([&] { return timer.running(); }));
    EXPECT_EQ(timer.remaining(), 2min);
    clock += 2min;
    timer.check();
    EXPECT_EQ(endings, 1);
}

} // namespace
} // namespace calmfield
