#include "mixer/Module3.h"
#include "tests/support/RecordingSystemMixer.h"

#include <gtest/gtest.h>

namespace calmfield::mixer::Module3 {
namespace {

using testsupport::RecordingSystemMixer;

TEST(Module3, FindsTheSpeakersVolumeControl) {
    RecordingSystemMixer mixer;
    ASSERT_TRUE(mixer.open({}));
    MixerControl control;
    EXPECT_TRUE(FindLineControl(mixer, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS,
                                MIXERCONTROL_CONTROLTYPE_VOLUME, control));
    EXPECT_EQ(control.cbStruct, 152u);
    EXPECT_EQ(control.dwControlID, RecordingSystemMixer::kVolumeControl);
    EXPECT_EQ(control.dwControlType, MIXERCONTROL_CONTROLTYPE_VOLUME);
}

TEST(Module3, ALineThatIsNotThereLeavesTheRecordUntouched) {
    RecordingSystemMixer mixer;
    ASSERT_TRUE(mixer.open({}));
    MixerControl control;
    control.dwControlID = 42;
    EXPECT_FALSE(FindLineControl(mixer, 5, MIXERCONTROL_CONTROLTYPE_VOLUME, control));
    EXPECT_EQ(control.cbStruct, 0u);
    EXPECT_EQ(control.dwControlID, 42u);
}

TEST(Module3, AControlThatIsNotThereKeepsTheRecordsEarlierIdentity) {
    RecordingSystemMixer mixer;
    ASSERT_TRUE(mixer.open({}));
    MixerControl control;
    control.dwControlID = 42;
    EXPECT_FALSE(FindLineControl(mixer, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 0x50030002, control));
    EXPECT_EQ(control.cbStruct, 152u);
    EXPECT_EQ(control.dwControlID, 42u);
}

TEST(Module3, SettingSendsTheValueToTheControlAndAnUnopenedMixerRefusesIt) {
    RecordingSystemMixer mixer;
    MixerControl control;
    EXPECT_FALSE(SetControlValue(mixer, control, 100)); // never opened, nothing found
    ASSERT_TRUE(mixer.open({}));
    ASSERT_TRUE(FindLineControl(mixer, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS,
                                MIXERCONTROL_CONTROLTYPE_VOLUME, control));
    EXPECT_TRUE(SetControlValue(mixer, control, 65172));
    EXPECT_EQ(mixer.speakerVolumes(), std::vector<std::uint32_t>{65172});
}

} // namespace
} // namespace calmfield::mixer::Module3
