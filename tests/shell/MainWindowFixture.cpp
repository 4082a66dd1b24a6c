#include "MainWindowFixture.h"

#include "files/StoredName.h"
#include "player/ColourWords.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cmath>
#include <cstdlib>

namespace calmfield::testsupport {
namespace {

constexpr std::uint32_t kSoundFileRate = 22050;

} // namespace

std::vector<int> mixOf(const shell::MainWindow& form, bool withStartInTray) {
    std::vector<int> values;
    for (const widgets::CheckBox* box : colourToggles(form))
        values.push_back(box->value());
    for (const auto& sliders : {volumeSliders(form), frequencySliders(form)}) {
        for (const widgets::Slider* slider : sliders)
            values.push_back(slider->value());
    }
    if (withStartInTray)
        values.push_back(startInTrayBox(form)->value());
    return values;
}

void setMix(shell::MainWindow& form, const std::vector<int>& values) {
    const auto toggles = colourToggles(form);
    const auto volumes = volumeSliders(form);
    const auto frequencies = frequencySliders(form);
    std::vector<QWidget*> controls(toggles.begin(), toggles.end());
    controls.insert(controls.end(), volumes.begin(), volumes.end());
    controls.insert(controls.end(), frequencies.begin(), frequencies.end());
    controls.push_back(startInTrayBox(form));
    for (std::size_t i = 0; i < values.size() && i < controls.size(); ++i) {
        if (auto* box = qobject_cast<widgets::CheckBox*>(controls[i]))
            box->setValue(values[i]);
        else
            qobject_cast<widgets::Slider*>(controls[i])->setValue(values[i]);
    }
}

WindowState stateOf(shell::MainWindow& form, engine::ChannelBank& bank) {
    WindowState state = {mixOf(form, true), {}, 0, false};
    state.controls.push_back(panningSlider(form)->value());
    state.controls.push_back(masterVolumeSlider(form)->value());
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        const engine::NoiseChannel* channel = bank.channel(colour);
        state.channels.push_back(channel == nullptr
                                     ? std::string("none")
                                     : std::string(channel->isPlaying() ? "playing" : "stopped") +
                                           " volume " + std::to_string(channel->volume()) +
                                           " pan " + std::to_string(channel->pan()) +
                                           " frequency " + std::to_string(channel->frequency()));
    }
    state.picture = colourPictureBox(form)->pixmap().cacheKey();
    state.trayTimerArmed = startInTrayTimer(form)->isActive();
    return state;
}

void PrintTo(const WindowState& state, std::ostream* out) {
    *out << "controls";
    for (const int value : state.controls)
        *out << ' ' << value;
    for (const auto& channel : state.channels)
        *out << "; " << channel;
    *out << "; picture " << state.picture << (state.trayTimerArmed ? "; timer armed" : "");
}

QImage colourPicture(const std::filesystem::path& folder, int colour) {
    const auto file =
        files::resolveStoredName(folder, player::kColourPictures[static_cast<std::size_t>(colour)]);
    return QImage(QFile::decodeName(file.c_str()));
}

MainWindowFixture::MainWindowFixture(FixtureSetUp setUp)
    : folder(
          setUp.programFolder.empty()
              ? linkedProgramFolder(std::filesystem::path(scratch.path().toStdString()) / "program")
              : std::move(setUp.programFolder)),
      userFolder(std::filesystem::path(scratch.path().toStdString()) / "user" / "calmfield"),
      output(kSoundFileRate, setUp.deviceAvailable), volumePort(setUp.volumePortReachable) {
    if (setUp.startUp)
        startAgain();
    else
        assemble();
}

MainWindowFixture::~MainWindowFixture() {
    run.reset();
}

void MainWindowFixture::startAgain(StartWith with) {
    assemble(std::move(with));
    run->startUp();
}

void MainWindowFixture::assemble(StartWith with) {
    // The old run goes without closing, its sound left unended, as a crashed program's would.
    run.reset();
    session::MessageSink& told = with.messages != nullptr ? *with.messages : messages;
    run = std::make_unique<app::WindowRun>(app::WindowRunParts{
        .devices = {with.sound != nullptr ? *with.sound : output, volumePort},
        .folders = {folder, userFolder},
        .messages = told,
        .openUrl =
            [this](const QUrl& address) {
                openedAddresses.append(address);
                return false;
            },
        .trayAvailable = [this] { return trayAvailable; },
        .fileDialog = with.desktopDialog ? nullptr : &dialog,
        .minimisedWindowsStayReachable = minimisedWindowsStayReachable,
        .endProgram = with.endProgram ? std::move(with.endProgram) : [this] { ++programEndings; },
        .stopWaitingForTheUser = [this] { ++stoppedWaiting; },
        .sessionBus = std::move(with.sessionBus),
        .sleepClock = [this] { return clockTime; },
        .routineClock = {[this] { return wallClock; }, [] { return QTimeZone::utc(); },
                         [](clockid_t) { return -1; }},
    });
    windows = &run->windows();
    session = &run->session();
    bank = &session->channelBank();
    form = run->mainWindow();
}

engine::NoiseChannel& MainWindowFixture::channel(int colour) {
    engine::NoiseChannel* found = bank->channel(colour);
    if (found == nullptr)
        throw std::runtime_error("no channel for colour " + std::to_string(colour));
    return *found;
}

QImage MainWindowFixture::shownPicture() const {
    return colourPictureBox(form)->pixmap().toImage();
}

long MainWindowFixture::playingPosition(int colour) {
    return output.playingPosition(channel(colour).sound());
}

} // namespace calmfield::testsupport
