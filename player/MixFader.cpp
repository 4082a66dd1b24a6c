#include "player/MixFader.h"

namespace calmfield::player {

using engine::MasterGain;
using Part = MasterGain::Part;

MixFader::MixFader(RampMix rampMix, const SleepTimer& sleepTimer, QObject* parent)
    : QObject(parent), rampMix_(std::move(rampMix)), sleepTimer_(sleepTimer) {
    connect(&sleepTimer, &SleepTimer::fadeBegan, this, &MixFader::sleepFadeBegan);
    connect(&sleepTimer, &SleepTimer::fadeCalledOff, this, &MixFader::sleepFadeCalledOff);
}

void MixFader::pause() {
    if (paused_)
        return;
    paused_ = true;
    rampMix_(Part::Pause, {0.0f, kPauseFade, MasterGain::Shape::Linear});
}

void MixFader::play() {
    if (!paused_)
        return;
    paused_ = false;
    takeUpSleepFade();
    rampMix_(Part::Pause, {1.0f, kPauseFade, MasterGain::Shape::Linear});
}

// The rise takes the render's fade-in curve, even in loudness. During a pause it runs unheard.
void MixFader::riseFromSilence() {
    rampMix_(Part::Rise, {1.0f, kGentleStart, MasterGain::Shape::Decibels, 0.0f});
    takeUpSleepFade();
}

void MixFader::silenceForSuspend() {
    rampMix_(Part::Rise, {0.0f, kFallAsleep, MasterGain::Shape::Linear});
}

void MixFader::sleepFadeBegan(std::chrono::milliseconds length) {
    sleepFadeLength_ = length;
    rampMix_(Part::Fade, {0.0f, length, MasterGain::Shape::Decibels});
}

void MixFader::sleepFadeCalledOff() {
    sleepFadeLength_.reset();
    rampMix_(Part::Fade, {1.0f, kComeBack, MasterGain::Shape::Decibels});
}

// The mix's ramps move on only while the output renders, which it does not while the sound is
// paused or the computer sleeps; the sleep timer's clock goes on. The fade is put back where it
// stands by that clock, unheard under the pause's silence or the rise's.
void MixFader::takeUpSleepFade() {
    if (!sleepFadeLength_)
        return;
    const MasterGain::Ramp fade{0.0f, *sleepFadeLength_, MasterGain::Shape::Decibels};
    const std::chrono::milliseconds left = sleepTimer_.remaining();
    const double level = MasterGain::levelAt(fade, 1.0, *sleepFadeLength_ - left);
    rampMix_(Part::Fade, {0.0f, left, MasterGain::Shape::Decibels, static_cast<float>(level)});
}

} // namespace calmfield::player
