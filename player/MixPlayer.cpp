#include "player/MixPlayer.h"

#include "player/ColourWords.h"

#include "files/ProgramTitle.h"
#include "files/RegularFile.h"
#include "files/StoredName.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>

namespace calmfield::player {
namespace {

using persistence::kOff;
using persistence::kOn;

using engine::index;

// The program's icon as installed beside the program, relative to the program's folder.
const std::filesystem::path kInstalledIcon = std::filesystem::path("../../share/icons/hicolor/"
                                                                   "256x256/apps") /
                                             (CALMFIELD_APPLICATION_ID ".png");

QUrl urlOfFile(const std::filesystem::path& file) {
    if (!files::isRegularFile(file))
        return {};
    return QUrl::fromLocalFile(QFile::decodeName(file.lexically_normal().c_str()));
}

} // namespace

MixPlayer::MixPlayer(engine::ChannelBank& bank, sound::VolumePort& volume,
                     std::filesystem::path programFolder, SleepClock sleepClock, QObject* parent)
    : QObject(parent), programFolder_(std::move(programFolder)), bank_(bank),
      sleepTimer_(std::move(sleepClock)),
      fader_([this](engine::MasterGain::Part part,
                    const engine::MasterGain::Ramp& ramp) { bank_.rampMix(part, ramp); },
             sleepTimer_),
      volumePort_(volume) {}

MixPlayer::~MixPlayer() = default;

bool MixPlayer::openVolumePort(std::chrono::milliseconds timeout) {
    return volumePort_.open(timeout);
}

engine::OutputStart MixPlayer::openSoundDevice() {
    return bank_.openDevice();
}

std::vector<engine::UnusableSoundFile> MixPlayer::createChannels() {
    auto unusable = bank_.createChannels(programFolder_);
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        sendVolume(colour);
        if (const auto hz = channelFrequency(colour))
            emit channelFrequencyChanged(colour, *hz);
    }
    return unusable;
}

std::optional<int> MixPlayer::channelFrequency(int colour) {
    if (const engine::NoiseChannel* channel = bank_.channel(colour))
        return channel->frequency();
    return std::nullopt;
}

void MixPlayer::setToggle(int colour, int state) {
    if (mix_.toggles[index(colour)] == state)
        return;
    mix_.toggles[index(colour)] = state;
    if (engine::NoiseChannel* channel = bank_.channel(colour)) {
        if (state == kOn)
            channel->play();
        else if (state == kOff)
            channel->stop();
    }
    emit toggleChanged(colour);
    noteTicked(colour, state == kOn);
}

void MixPlayer::setVolume(int colour, int volume) {
    if (mix_.volumes[index(colour)] == volume)
        return;
    mix_.volumes[index(colour)] = volume;
    sendVolume(colour);
    emit volumeChanged(colour);
}

void MixPlayer::setFrequency(int colour, int hz) {
    if (mix_.frequencies[index(colour)] == hz)
        return;
    mix_.frequencies[index(colour)] = hz;
    sendFrequency(colour);
    emit frequencyChanged(colour);
}

void MixPlayer::setPanning(int panning) {
    if (panning_ == panning)
        return;
    panning_ = panning;
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        if (engine::NoiseChannel* channel = bank_.channel(colour))
            channel->setPan(panning);
    }
    emit panningChanged();
}

void MixPlayer::setMasterVolume(int position) {
    if (masterVolume_ != position)
        sendMasterVolume(position, false);
}

// Mute tells the speakers even when the position stays: its 0 must hold on whichever speakers
// play, and the next press must free them.
void MixPlayer::sendMasterVolume(int position, bool byMute) {
    const bool changed = masterVolume_ != position;
    masterVolume_ = position;
    volumePort_.setVolume(speakerVolumeForMasterPosition(position), byMute);
    if (changed)
        emit masterVolumeChanged();
}

void MixPlayer::setStartInTray(int state) {
    if (startInTray_ == state)
        return;
    startInTray_ = state;
    emit startInTrayChanged();
}

void MixPlayer::setTone(const engine::ToneSetting& tone) {
    const engine::ToneSetting clamped = tone.clamped();
    if (tone_ == clamped)
        return;
    tone_ = clamped;
    bank_.setTone(tone_);
    emit toneChanged();
}

void MixPlayer::setDrift(const engine::DriftSetting& drift) {
    const engine::DriftSetting clamped = drift.clamped();
    if (mix_.drift == clamped)
        return;
    mix_.drift = clamped;
    bank_.setDrift(clamped);
    emit driftChanged();
}

void MixPlayer::newDriftPath() {
    engine::DriftSetting drift = mix_.drift;
    const std::uint32_t old = drift.seed;
    while (drift.seed == old)
        drift.seed = QRandomGenerator::global()->generate();
    setDrift(drift);
}

void MixPlayer::toggleMute() {
    if (!muted_) {
        savedMasterVolume_ = masterVolume_;
        sendMasterVolume(0, true);
    } else {
        sendMasterVolume(savedMasterVolume_, false);
    }
    muted_ = !muted_;
    emit muteChanged();
}

void MixPlayer::releaseMute(std::chrono::milliseconds timeout) {
    if (!muted_ || masterVolume_ != 0)
        return;
    toggleMute();
    volumePort_.settle(timeout);
}

void MixPlayer::resetAll() {
    for (int colour = 0; colour < engine::kColourCount; ++colour)
        setToggle(colour, kOff);
    for (int colour = 0; colour < engine::kColourCount; ++colour)
        setVolume(colour, kResetVolume);
    for (int colour = 0; colour < engine::kColourCount; ++colour)
        setFrequency(colour, kResetFrequency);
    engine::DriftSetting drift = mix_.drift;
    drift.on = false;
    setDrift(drift);
}

void MixPlayer::load(const persistence::Mix& mix) {
    for (int colour = 0; colour < engine::kColourCount; ++colour)
        setToggle(colour, mix.toggles[index(colour)]);
    for (int colour = 0; colour < engine::kColourCount; ++colour)
        setVolume(colour, mix.volumes[index(colour)]);
    for (int colour = 0; colour < engine::kColourCount; ++colour)
        setFrequency(colour, mix.frequencies[index(colour)]);
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        sendFrequency(colour);
        sendVolume(colour);
    }
    setDrift(mix.drift);
}

void MixPlayer::load(const persistence::Settings& settings) {
    setStartInTray(settings.startInTray);
    load(settings.mix);
}

void MixPlayer::loadRisingGently(const persistence::Settings& settings) {
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        if (settings.mix.toggles[index(colour)] == kOn && bank_.channel(colour) != nullptr) {
            fader_.riseFromSilence();
            break;
        }
    }
    load(settings);
}

void MixPlayer::stopAndRewind() {
    bank_.stopAndRewindAll();
}

void MixPlayer::sendVolume(int colour) {
    if (engine::NoiseChannel* channel = bank_.channel(colour))
        channel->setVolume(mix_.volumes[index(colour)]);
}

void MixPlayer::sendFrequency(int colour) {
    engine::NoiseChannel* channel = bank_.channel(colour);
    if (channel == nullptr)
        return;
    const std::int32_t before = channel->frequency();
    channel->setFrequency(mix_.frequencies[index(colour)]);
    if (channel->frequency() != before)
        emit channelFrequencyChanged(colour, channel->frequency());
}

void MixPlayer::pause() {
    if (fader_.paused())
        return;
    fader_.pause();
    emit mediaStateChanged();
}

void MixPlayer::play() {
    if (!fader_.paused())
        return;
    fader_.play();
    emit mediaStateChanged();
}

void MixPlayer::noteTicked(int colour, bool ticked) {
    const std::vector<int> before = tickedColours_;
    const bool wasPaused = fader_.paused();
    std::erase(tickedColours_, colour);
    if (ticked) {
        tickedColours_.insert(tickedColours_.begin(), colour);
        // Ticking a colour on means wanting to hear it.
        fader_.play();
    }
    if (tickedColours_ != before || fader_.paused() != wasPaused)
        emit mediaStateChanged();
}

QString colourName(std::size_t colour) {
    QString caption = QString::fromUtf8(kColourWords[colour]);
    caption.chop(QStringLiteral(" Noise").size());
    return caption;
}

MediaState MixPlayer::mediaState() const {
    if (tickedColours_.empty())
        return {PlaybackStatus::Stopped, QString::fromLatin1(files::kProgramTitle), artUrl()};
    QStringList names;
    for (const int colour : tickedColours_)
        names.append(colourName(index(colour)));
    return {paused() ? PlaybackStatus::Paused : PlaybackStatus::Playing,
            names.join(QStringLiteral(" + ")) + QStringLiteral(" Noise"), artUrl()};
}

// The most recently ticked colour's picture, or else the program's icon.
QUrl MixPlayer::artUrl() const {
    if (!tickedColours_.empty()) {
        const QUrl picture = urlOfFile(files::resolveStoredName(
            programFolder_, kColourPictures[index(tickedColours_.front())]));
        if (!picture.isEmpty())
            return picture;
    }
    return urlOfFile(programFolder_ / kInstalledIcon);
}

} // namespace calmfield::player
