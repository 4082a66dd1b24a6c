#include "rendercommand/RenderCommand.h"

#include "desktop/ProgramFolder.h"
#include "ending/SignalDeadline.h"
#include "persistence/DriftFile.h"
#include "persistence/StartupSettingsLocation.h"
#include "persistence/ToneFile.h"
#include "player/ColourWords.h"
#include "render/MixRender.h"
#include "rendercommand/RenderProgressBar.h"
#include "session/SoundFileMessages.h"

#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

#include <csignal>
#include <cstdio>

namespace calmfield::rendercommand {
namespace {

constexpr int kFailed = 1;
constexpr int kNothingToRender = 2;

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void noteStopSignal(int signal) {
    stopSignal = signal;
    ending::SignalDeadline::start(signal);
}

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

void catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = noteStopSignal;
    // A write the signal lands in goes on; the render stops after its block, or at the latest when
    // the deadline ends it.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int signal : kStopSignals)
        sigaction(signal, &action, nullptr);
}

void tell(const QString& text) {
    std::fprintf(stderr, "calmfield: %s\n", text.toLocal8Bit().constData());
}

QString shown(const std::filesystem::path& path) {
    return QFile::decodeName(path.c_str());
}

// The mix of the file given, or of the startup settings file a normal start reads; empty, having
// told the user why, when it cannot be read.
std::optional<persistence::Mix> readRenderedMix(const RenderRequest& request,
                                                const RenderFolders& folders) {
    if (!request.mixFile.isEmpty()) {
        const auto read = persistence::readMix(request.mixFile);
        if (!read.ok()) {
            tell(QStringLiteral("The mix in \"%1\" cannot be used: %2.")
                     .arg(request.mixFile, read.reason()));
            return std::nullopt;
        }
        return read.value();
    }
    const persistence::StartupSettingsLocation location(folders.programFolder,
                                                        folders.userSettingsFolder);
    const std::filesystem::path file = location.fileToRead();
    if (file.empty())
        return persistence::Mix{};
    const auto read = persistence::readSettings(shown(file));
    if (!read.ok()) {
        tell(QStringLiteral("The mix in the settings file \"%1\" cannot be used: %2.")
                 .arg(shown(file), read.reason()));
        return std::nullopt;
    }
    persistence::Mix mix = read.value().mix;
    const auto drift = persistence::readDriftFile(folders.userSettingsFolder);
    if (!drift.ok()) {
        tell(QStringLiteral("The drift in \"%1\" cannot be used: %2.")
                 .arg(shown(folders.userSettingsFolder / persistence::kDriftFileName),
                      drift.reason()));
        return std::nullopt;
    }
    mix.drift = drift.value();
    return mix;
}

// The listener's tone, flat when none was set yet; empty, having told the user why, when the
// file cannot be used. The file is left as it is for the running program to deal with.
std::optional<engine::ToneSetting> readListenerTone(const RenderFolders& folders) {
    const QString file = shown(folders.userSettingsFolder / persistence::kToneFileName);
    const auto read = persistence::readToneFile(file);
    if (read.ok())
        return read.value();
    if (read.reason().kind == persistence::ToneFileFailure::Kind::missing)
        return engine::ToneSetting{};
    tell(QStringLiteral("The tone in \"%1\" cannot be used: %2. Add --flat to render without it.")
             .arg(file, read.reason().reason));
    return std::nullopt;
}

} // namespace

RenderFolders renderFoldersOfThisProgram() {
    // As the running program's own settings folder, ~/.config/calmfield, without an application
    // object to name it.
    const QString userFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
        QStringLiteral("/calmfield");
    return {desktop::programFolder(), QFile::encodeName(userFolder).toStdString()};
}

int runRender(const RenderRequest& request, const RenderFolders& folders) {
    const auto mix = readRenderedMix(request, folders);
    if (!mix)
        return kFailed;
    if (!render::anyColourTicked(*mix)) {
        tell(request.mixFile.isEmpty()
                 ? QStringLiteral("No colour is ticked in the mix Calmfield starts with, so there "
                                  "is nothing to render. Tick one, or give a mix with --mix.")
                 : QStringLiteral("No colour is ticked in the mix in \"%1\", so there is nothing "
                                  "to render.")
                       .arg(request.mixFile));
        return kNothingToRender;
    }

    const auto tone = request.flat ? engine::ToneSetting{} : readListenerTone(folders);
    if (!tone)
        return kFailed;

    render::RenderJob job;
    job.mix = *mix;
    job.tone = *tone;
    job.soundFolder = folders.programFolder;
    job.target = QFile::encodeName(request.file).toStdString();
    job.length = request.length;
    job.rate = request.rate;
    RenderProgressBar bar(request.rate, ::isatty(STDERR_FILENO) == 1);
    const ending::SignalDeadline deadline;
    catchStopSignals();
    const render::RenderResult result =
        render::renderMix(job, [&bar](std::uint64_t done, std::uint64_t total) {
            bar.show(done, total);
            return stopSignal == 0;
        });
    bar.end();

    if (result.ok() && result.value() == render::Rendered::written)
        return 0;
    if (result.ok()) {
        // Ended as the signal would have ended it, now that nothing is left behind.
        const int signal = stopSignal;
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return 128 + signal;
    }
    if (const auto* unusable = std::get_if<engine::UnusableSoundFile>(&result.reason())) {
        const auto colour = player::kColourWords[static_cast<std::size_t>(unusable->colour)];
        tell(QStringLiteral("The sound file \"%1\" of %2 cannot be used: %3.")
                 .arg(shown(unusable->file), QString::fromUtf8(colour),
                      QString::fromStdString(session::reasonNotPlayed(unusable->failure))));
    } else {
        tell(QString::fromStdString(std::get<std::string>(result.reason())) +
             QStringLiteral(" Nothing was written to \"%1\".").arg(request.file));
    }
    return kFailed;
}

} // namespace calmfield::rendercommand
