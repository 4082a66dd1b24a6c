// The run assembled once: a later start's sleep timer and the timer's end go through the same
// program whatever the front end.

#include "app/Program.h"
#include "instance/SingleInstance.h"
#include "tests/support/FakeVolumePort.h"
#include "tests/support/MemorySoundOutput.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/WindowTestHelpers.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

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
    int endings = 0;
    app::Program program({
        .devices = {output, volumePort},
        .folders = {root, root / "user"},
        .messages = messages,
        .actions = {.raise = {}, .quit = [] {}},
        .endRun = [&] { ++endings; },
        .sleepClock = [&] { return clock; },
    });
    QTemporaryDir runtime;
    SingleInstance running(runtime.path().toStdString(), SingleInstance::Kind::window);
    ASSERT_EQ(running.claim(std::nullopt), SingleInstance::Claim::First);
    ASSERT_TRUE(program.answerLaterStarts(running));

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
