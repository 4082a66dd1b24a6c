#include "recorder/CaptureElement.h"

#include "recorder/WaveFileSaving.h"

#include <algorithm>

namespace calmfield::recorder {
namespace {

constexpr long kLowestRate = 1000;
constexpr long kHighestRate = 384000;

CommandReply failed(CommandCode code, std::string reason) {
    return {code, {}, std::move(reason)};
}

CommandReply serverAway() {
    return failed(kDeviceNotReady, "the sound server cannot be reached");
}

} // namespace

CaptureElement::CaptureElement(std::unique_ptr<sound::CaptureDevice> device,
                               std::filesystem::path spoolFolder, std::uint64_t takeLimit)
    : device_(std::move(device)), spoolFolder_(std::move(spoolFolder)), takeLimit_(takeLimit) {}

CaptureElement::~CaptureElement() {
    // The device must let go of the spool's ring before the spool goes.
    device_->stop();
}

CommandReply CaptureElement::open() {
    return device_->open(kOpenTimeout) ? CommandReply{} : serverAway();
}

CommandReply CaptureElement::seekToStart() {
    stop();
    atStart_ = true;
    return {};
}

CommandReply CaptureElement::seekToEnd() {
    stop();
    atStart_ = false;
    return {};
}

CommandReply CaptureElement::setSampleRate(long rate) {
    if (rate < kLowestRate || rate > kHighestRate)
        return failed(kUnsupportedSetting, "the sample rate must be between 1000 and 384000");
    next_.rate = static_cast<std::uint32_t>(rate);
    return {};
}

CommandReply CaptureElement::setBitsPerSample(long bits) {
    if (bits != 8)
        return failed(kUnsupportedSetting, "sound is recorded with 8 bits per sample only");
    return {};
}

CommandReply CaptureElement::setChannels(long channels) {
    if (channels != 1 && channels != 2)
        return failed(kUnsupportedSetting, "sound is recorded in 1 or 2 channels only");
    next_.channels = static_cast<std::uint8_t>(channels);
    return {};
}

CommandReply CaptureElement::record() {
    catchUp();
    if (state_ == State::Recording)
        return {};
    endPlayback();
    if (!device_->serverReachable())
        return serverAway();
    if (!spool_.isOpen()) {
        if (std::string reason = spool_.create(spoolFolder_); !reason.empty())
            return failed(kSpoolFailure, "the recording has no place to go: " + reason);
    }
    if (atStart_) {
        if (!spool_.truncate(0))
            return failed(kSpoolFailure, "the last recording cannot be cleared");
        heldBytes_ = 0;
        take_ = next_;
    }
    recording_ = std::make_unique<SpoolRecording>(spool_, frameBytes(), takeLimit_);
    if (!device_->startRecording(take_, *recording_)) {
        recording_.reset();
        return serverAway();
    }
    state_ = State::Recording;
    atStart_ = false;
    return {};
}

CommandReply CaptureElement::stop() {
    catchUp();
    endRecording();
    endPlayback();
    return {};
}

CommandReply CaptureElement::play(std::uint64_t fromByte) {
    stop();
    if (!device_->serverReachable())
        return serverAway();
    const std::uint64_t from = std::min(fromByte - fromByte % frameBytes(), heldBytes_);
    playback_ = std::make_unique<SpoolPlayback>(spool_, from, heldBytes_);
    if (!device_->startPlaying(takeFormat(), *playback_)) {
        playback_.reset();
        return serverAway();
    }
    state_ = State::Playing;
    return {};
}

CommandReply CaptureElement::save(const std::filesystem::path& target) {
    catchUp();
    if (state_ == State::Recording)
        return failed(kDeviceBusy, "a recording is still running");
    if (auto saved = saveWaveFile(spool_, heldBytes_, takeFormat(), target); !saved.ok())
        return failed(kFileNotSaved, saved.reason());
    return {};
}

std::string CaptureElement::mode() {
    catchUp();
    if (!device_->serverReachable())
        return "not ready";
    switch (state_) {
    case State::Recording:
        return "recording";
    case State::Playing:
        return "playing";
    default:
        return "stopped";
    }
}

std::uint64_t CaptureElement::heldBytes() {
    catchUp();
    return recording_ ? recording_->heldBytes() : heldBytes_;
}

void CaptureElement::catchUp() {
    const sound::CaptureDevice::Activity activity = device_->activity();
    if (state_ == State::Recording &&
        (recording_->ended() || activity == sound::CaptureDevice::Activity::Broken))
        endRecording();
    if (state_ == State::Playing && (activity == sound::CaptureDevice::Activity::PlayedToEnd ||
                                     activity == sound::CaptureDevice::Activity::Broken))
        endPlayback();
}

void CaptureElement::endRecording() {
    if (state_ != State::Recording)
        return;
    device_->stop();
    recording_->finish();
    heldBytes_ = recording_->heldBytes();
    recording_.reset();
    state_ = State::Stopped;
}

void CaptureElement::endPlayback() {
    if (state_ != State::Playing)
        return;
    device_->stop();
    playback_.reset();
    state_ = State::Stopped;
}

} // namespace calmfield::recorder
