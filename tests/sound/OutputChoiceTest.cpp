#include "sound/OutputChoice.h"

#include <gtest/gtest.h>

namespace calmfield::sound {
namespace {

constexpr char kOnPipeWire[] = "PulseAudio (on PipeWire 0.3.65)";

TEST(OutputChoice, NativeOnlyWherePipeWireAnswersAsTheUsersOwnServer) {
    const OutputChoice own = chooseOutput(kOnPipeWire, "", "/run/user/1000");
    EXPECT_TRUE(own.native);
    EXPECT_EQ(own.pipeWireSocket, "/run/user/1000/pipewire-0");

    const OutputChoice named =
        chooseOutput(kOnPipeWire, "unix:/tmp/session/pulse/native", "/run/x");
    EXPECT_TRUE(named.native);
    EXPECT_EQ(named.pipeWireSocket, "/tmp/session/pipewire-0");
    EXPECT_TRUE(chooseOutput(kOnPipeWire, "/tmp/session/pulse/native", "").native);
}

// A PipeWire daemon in the same runtime folder as a classic PulseAudio owns no sound card.
TEST(OutputChoice, PulseAudioWhereTheServerIsClassicPulseAudioOrElsewhere) {
    EXPECT_FALSE(chooseOutput("pulseaudio", "", "/run/user/1000").native);
    EXPECT_FALSE(
        chooseOutput("pulseaudio", "unix:/run/user/1000/pulse/native", "/run/user/1000").native);
    EXPECT_FALSE(chooseOutput(kOnPipeWire, "tcp:speakers.local:4713", "/run/user/1000").native);
    EXPECT_FALSE(chooseOutput(kOnPipeWire, "speakers.local", "/run/user/1000").native);
    EXPECT_FALSE(chooseOutput(kOnPipeWire, "unix:/tmp/other/socket", "/run/user/1000").native);
    EXPECT_FALSE(chooseOutput(kOnPipeWire, "", "").native);
}

} // namespace
} // namespace calmfield::sound
