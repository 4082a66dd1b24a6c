#include "player/MixFader.h"

namespace calmfield::player {

using engine::MasterGain;

MixFader::MixFader(RampMix rampMix, const SleepTimer& sleepTimer, QObject* parent)
    : QObject(parent), rampMix_(std::move(rampMix)), sleepTimer_(sleepTimer) {
    rejoin_.setSingleShot(true);
    rejoin_.setTimerType(Qt::PreciseTimer);
    connect(&rejoin_, &QTimer::timeout, this, &MixFader::rejoinSleepFade);
    connect(&sleepTimer, &SleepTimer::fadeBegan, this, &MixFader::sleepFadeBegan);
    connect(&sleepTimer, &SleepTimer::fadeCalledOff, this, &MixFader::sleepFadeCalledOff);
}

void MixFader::pause() {
    if (paused_)
        return;
    paused_ = true;
    rejoin_.stop();
    rampMix_({0.0f, kPauseFade, MasterGain::Shape::Linear});
}

void MixFader::play() {
    if (!paused_)
        return;
    paused_ = false;
    comeBack(kPauseFade, false);
}

void MixFader::riseFromSilence() {
    if (!paused_)
        comeBack(kGentleStart, true);
}

void MixFader::silenceForSuspend() {
    rejoin_.stop();
    rampMix_({0.0f, kFallAsleep, MasterGain::Shape::Linear});
}

// A rise from silence takes the render's fade-in curve, even in loudness; coming back from a
// pause takes even steps of amplitude.
void MixFader::comeBack(std::chrono::milliseconds length, bool fromSilence) {
    const auto shape = fromSilence ? MasterGain::Shape::Decibels : MasterGain::Shape::Linear;
    rejoin_.stop();
    if (!sleepFadeLength_) {
        rampMix_({1.0f, length, shape, fromSilence});
        return;
    }
    // Back to where the fade will stand once the sound is back; with the fade all but over, the
    // sound stays away.
    const std::chrono::milliseconds left = sleepTimer_.remaining();
    if (left <= length) {
        if (fromSilence)
            rampMix_({0.0f, std::chrono::milliseconds{0}, MasterGain::Shape::Linear});
        return;
    }
    const MasterGain::Ramp fade{0.0f, *sleepFadeLength_, MasterGain::Shape::Decibels};
    const double level = MasterGain::levelAt(fade, 1.0, *sleepFadeLength_ - left + length);
    rampMix_({static_cast<float>(level), length, shape, fromSilence});
    rejoin_.start(length);
}

void MixFader::rejoinSleepFade() {
    if (sleepFadeLength_)
        rampMix_({0.0f, sleepTimer_.remaining(), MasterGain::Shape::Decibels});
}

void MixFader::sleepFadeBegan(std::chrono::milliseconds length) {
    sleepFadeLength_ = length;
    rejoin_.stop();
    if (!paused_)
        rampMix_({0.0f, length, MasterGain::Shape::Decibels});
}

void MixFader::sleepFadeCalledOff() {
    sleepFadeLength_.reset();
    rejoin_.stop();
    if (!paused_)
        rampMix_({1.0f, kComeBack, MasterGain::Shape::Decibels});
}

} // namespace calmfield::player
