#include "MainWindowFixture.h"

#include "files/StoredName.h"
#include "player/ColourWords.h"
#include "session/MediaControls.h"

#include <QFile>

#include <algorithm>
#include <cmath>

namespace calmfield {
namespace {

using namespace calmfield::testsupport;

using namespace std::chrono_literals;
using desktop::MediaControlsTarget;
using engine::MasterGain;
using testsupport::contentOf;
using widgets::CheckBox;

float peak(const std::vector<float>& out, std::size_t first, std::size_t frames) {
    float loudest = 0.0f;
    for (std::size_t i = 2 * first; i < 2 * (first + frames); ++i)
        loudest = std::max(loudest, std::abs(out[i]));
    return loudest;
}

QUrl urlOf(const std::filesystem::path& file) {
    return QUrl::fromLocalFile(QFile::decodeName(file.lexically_normal().c_str()));
}

class Pause : public testsupport::MainWindowFixture {
  protected:
    Pause() {
        QObject::connect(&controls, &session::MediaControls::mediaStateChanged,
                         [this] { states.push_back(controls.state()); });
    }
    std::size_t frames(std::chrono::milliseconds time) const {
        return static_cast<std::size_t>(time.count()) * output.sampleRate() / 1000;
    }
    // The loudest sample over the 100 ms that end `time` from now.
    float loudnessAfter(std::chrono::milliseconds time) {
        return peak(output.pull(frames(time)), frames(time - 100ms), frames(100ms));
    }
    void passTime(std::chrono::milliseconds time) {
        clockTime += time;
        session->player().sleepTimer().check();
    }
    QUrl pictureOf(int colour) const {
        return urlOf(files::resolveStoredName(
            folder, player::kColourPictures[static_cast<std::size_t>(colour)]));
    }

    session::MediaControls& controls = run->program().mediaControls();
    std::vector<MediaControlsTarget::State> states; // as each change was announced
};

TEST_F(Pause, FadesOutAndBackKeepingTheMixAndTellsWhatItIsDoing) {
    colourToggles(form)[0]->setValue(CheckBox::kOn);
    colourToggles(form)[1]->setValue(CheckBox::kOn);
    const float full = loudnessAfter(1s);
    volumeSliders(form)[1]->setValue(-700);
    ASSERT_EQ(states.size(), 2u) << "a slider changes nothing the media controls show";
    EXPECT_EQ(states[0].title, "Brown Noise");
    EXPECT_EQ(controls.state(), (MediaControlsTarget::State{MediaControlsTarget::Status::Playing,
                                                            "Pink + Brown Noise", pictureOf(1)}));

    controls.playPause();
    EXPECT_EQ(states.back().status, MediaControlsTarget::Status::Paused);
    EXPECT_EQ(trayIcon(form)->toolTip(), QString::fromUtf8("Calmfield – paused"));
    const auto fade = output.pull(frames(1s));
    EXPECT_GT(peak(fade, 0, frames(100ms)), full / 2);
    EXPECT_EQ(peak(fade, frames(500ms), frames(500ms)), 0.0f);
    EXPECT_TRUE(output.renderer()->idle()) << "the stream may cork";
    EXPECT_EQ(testsupport::mixOf(*form), (std::vector<int>{1, 1, 0, 0, 0, 0, -700, 0, 0, 0, 32000,
                                                           32000, 32000, 32000, 32000}));

    controls.playPause();
    EXPECT_EQ(controls.state().status, MediaControlsTarget::Status::Playing);
    EXPECT_EQ(trayIcon(form)->toolTip(), "Calmfield");
    EXPECT_GT(loudnessAfter(600ms), full / 2);

    // Paused with nothing ticked is stopped; ticking a colour on plays it.
    controls.pause();
    resetAllButton(form)->click();
    EXPECT_EQ(trayIcon(form)->toolTip(), "Calmfield");
    controls.play(); // stopped either way: nothing to announce
    EXPECT_EQ(controls.state(),
              (MediaControlsTarget::State{MediaControlsTarget::Status::Stopped, "Calmfield", {}}));
    colourToggles(form)[2]->setValue(CheckBox::kOn);
    EXPECT_EQ(controls.state().status, MediaControlsTarget::Status::Playing);
    EXPECT_GT(loudnessAfter(600ms), full / 20);
    for (std::size_t n = 1; n < states.size(); ++n)
        EXPECT_NE(states[n], states[n - 1]) << "announced only when it changed: " << n;
}

TEST_F(Pause, SharesTheGainWithTheSleepFadeWhichStillEndsOnTime) {
    int endings = 0;
    QObject::connect(&session->player().sleepTimer(), &player::SleepTimer::ended,
                     [&] { ++endings; });
    colourToggles(form)[1]->setValue(CheckBox::kOn);
    const float full = loudnessAfter(1s);

    // A fade that begins while paused stays silent, and Off keeps the pause.
    controls.pause();
    run->program().startSleepTimer(15min);
    EXPECT_EQ(trayIcon(form)->toolTip(), QString::fromUtf8("Calmfield – paused, sleeps in 15 min"));
    passTime(14min);
    EXPECT_EQ(loudnessAfter(3s), 0.0f);
    sleepMenu(form)->actions().first()->trigger();
    EXPECT_EQ(loudnessAfter(3s), 0.0f);
    EXPECT_TRUE(session->player().paused());
    controls.play();
    EXPECT_GT(loudnessAfter(600ms), full / 2);

    // Paused 20 s into the fade and played 10 s later, the sound comes back to where the fade
    // stands and the fade goes on from there, to end with the timer.
    run->program().startSleepTimer(1min);
    output.pull(frames(20s));
    passTime(20s);
    controls.pause();
    EXPECT_EQ(loudnessAfter(1s), 0.0f);
    passTime(10s);
    controls.play();
    clockTime += 500ms;
    const MasterGain::Ramp fade{0.0f, 60s, MasterGain::Shape::Decibels};
    const auto level = [&](std::chrono::milliseconds at) {
        return static_cast<float>(MasterGain::levelAt(fade, 1.0, at));
    };
    const float back = loudnessAfter(500ms);
    EXPECT_GT(back, full * level(30500ms) / 2.0f);
    EXPECT_LT(back, full * level(30500ms) * 2.0f);
    const auto rest = output.pull(frames(30s));
    const float later = peak(rest, frames(10s), frames(100ms));
    EXPECT_GT(later, full * level(40500ms) / 1.5f);
    EXPECT_LT(later, full * level(40500ms) * 1.5f);
    EXPECT_EQ(peak(rest, frames(29500ms), frames(500ms)), 0.0f);

    controls.pause();
    passTime(29500ms);
    EXPECT_EQ(endings, 1) << "the timer counts on through a pause";
}

TEST_F(Pause, ShowsThePictureOrTheInstalledIconAndOutlivesTheWindow) {
    folder = testsupport::linkedProgramFolder(std::filesystem::path(scratch.path().toStdString()) /
                                              "usr/lib/calmfield");
    const auto icon =
        folder / "../../share/icons/hicolor/256x256/apps" / (CALMFIELD_APPLICATION_ID ".png");
    std::filesystem::create_directories(icon.parent_path());
    testsupport::putFile(icon, "png");
    std::filesystem::remove(files::resolveStoredName(folder, player::kColourPictures[0]));
    startAgain();
    session::MediaControls& installed = run->program().mediaControls();
    EXPECT_EQ(installed.state().artUrl, urlOf(icon));
    colourToggles(form)[0]->setValue(CheckBox::kOn);
    EXPECT_EQ(installed.state().artUrl, urlOf(icon)) << "its picture is missing";
    colourToggles(form)[3]->setValue(CheckBox::kOn);
    EXPECT_EQ(installed.state().artUrl, pictureOf(3));

    trayButton(form)->click();
    installed.raise();
    EXPECT_TRUE(form->isVisible());

    bool announced = false;
    QObject::connect(&installed, &session::MediaControls::mediaStateChanged,
                     [&] { announced = true; });
    installed.quit();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(programEndings, 1);
    EXPECT_EQ(contentOf(folder / "settings.ini").left(10), "1,0,0,1,0,") << "as Exit saves";
    EXPECT_TRUE(announced) << "the run's sound ended with the window";
    delete form.data();
    installed.play();
    EXPECT_EQ(installed.state(),
              (MediaControlsTarget::State{MediaControlsTarget::Status::Stopped, "Calmfield", {}}));
}

} // namespace
} // namespace calmfield
