#include "Form1Fixture.h"

#include "engine/ChannelVoice.h"
#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cmath>
#include <cstdlib>

namespace calmfield::testing {
namespace {

constexpr std::uint32_t kSoundFileRate = 22050;
constexpr std::size_t kMatchedFrames = 16;

} // namespace

std::filesystem::path builtProgramFolder() {
    const char* folder = std::getenv("CALMFIELD_PROGRAM_DIR");
    return folder != nullptr ? std::filesystem::path(folder) : std::filesystem::path();
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limit.count())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

QImage colourPicture(const std::filesystem::path& folder, int colour) {
    const auto file = platform::resolveStoredName(
        folder, engine::kNoiseColours[static_cast<std::size_t>(colour)].pictureFile);
    return QImage(QFile::decodeName(file.c_str()));
}

Form1Fixture::Form1Fixture(std::filesystem::path programFolder, bool deviceAvailable)
    : folder(std::move(programFolder)), output(kSoundFileRate, deviceAvailable) {
    form = std::make_unique<shell::Form1>(services());
    form->startUp();
}

shell::Form1Services Form1Fixture::services() {
    return {output,
            mixer,
            messages,
            windows,
            folder,
            [this](const QUrl& address) {
                openedAddresses.append(address);
                return false;
            },
            [this] { return trayAvailable; }};
}

engine::NoiseChannel& Form1Fixture::channel(int colour) {
    engine::NoiseChannel* found = form->bank().channel(colour);
    if (found == nullptr)
        throw std::runtime_error("no channel for colour " + std::to_string(colour));
    return *found;
}

QImage Form1Fixture::shownPicture() const {
    return form->Picture1->pixmap().toImage();
}

long Form1Fixture::playingPosition(int colour) {
    const std::size_t ramp = engine::ChannelVoice::rampFrames(kSoundFileRate);
    const auto out = output.pull(ramp + kMatchedFrames);
    const engine::SoundBuffer& sound = channel(colour).sound();
    auto sampleAt = [&](std::size_t frame) {
        return static_cast<long>(std::lround(out[2 * frame] * 32768.0f));
    };
    for (std::size_t start = 0; start + kMatchedFrames <= sound.frames(); ++start) {
        std::size_t n = 0;
        while (n < kMatchedFrames && sound.left(start + n) == sampleAt(ramp + n))
            ++n;
        if (n == kMatchedFrames)
            return static_cast<long>(start) - static_cast<long>(ramp);
    }
    return -1;
}

} // namespace calmfield::testing
