#include "session/SoundFileMessages.h"

#include <gtest/gtest.h>

namespace calmfield {
namespace {

using engine::SoundFileFailure;
using Problem = SoundFileFailure::Problem;

TEST(SoundFileMessages, EveryReasonReadsAsAClauseForTheUser) {
    const std::pair<SoundFileFailure, const char*> reasons[] = {
        {{.problem = Problem::notOpened, .opening = files::RegularFile::Failure::missing},
         "there is no such file"},
        {{.problem = Problem::notOpened, .opening = files::RegularFile::Failure::notAllowed},
         "you are not allowed to read it"},
        {{.problem = Problem::notASoundFile}, "it is not a sound file"},
        {{.problem = Problem::unplayableEncoding},
         "its samples are in an encoding that cannot be played"},
        {{.problem = Problem::unreadable}, "it cannot be read"},
        {{.problem = Problem::damaged}, "it is damaged"},
        {{.problem = Problem::cutShort}, "it is damaged and shorter than its header says"},
        {{.problem = Problem::unplayableChannels, .channels = 4},
         "it has 4 channels; only mono and stereo sounds can be played"},
        {{.problem = Problem::unplayableRate, .sampleRate = 400},
         "its sample rate of 400 Hz is outside what can be played"},
        {{.problem = Problem::silent}, "it holds no sound"},
        {{.problem = Problem::tooLong},
         "it is too long; a sound may last at most 10 minutes and take at most 256 MB of memory"},
        {{.problem = Problem::notEnoughMemory}, "there is not enough memory to hold it"},
    };
    for (const auto& [failure, reason] : reasons)
        EXPECT_EQ(session::reasonNotPlayed(failure), reason);
}

TEST(SoundFileMessages, EachFileGetsAParagraphNamingItAndItsColour) {
    EXPECT_EQ(session::unusableSoundFilesMessage({}), "");
    EXPECT_EQ(
        session::unusableSoundFilesMessage(
            {{1, "/p/Pink_Noise.Wav", {.problem = Problem::damaged}},
             {4,
              "/p/violet.Wav",
              {.problem = Problem::notOpened, .opening = files::RegularFile::Failure::missing}}}),
        "The sound file \"/p/Pink_Noise.Wav\" cannot be played: it is damaged. The pink noise "
        "stays silent; the other colours work as usual.\n\n"
        "The sound file \"/p/violet.Wav\" cannot be played: there is no such file. The purple "
        "noise stays silent; the other colours work as usual.");
}

} // namespace
} // namespace calmfield
