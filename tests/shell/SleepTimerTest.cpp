#include "MainWindowFixture.h"

#include "app/CommandLine.h"
#include "ending/TerminationRequests.h"
#include "info/AboutWindow.h"
#include "instance/SleepDuration.h"

#include <QDialog>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace calmfield {
namespace {

using namespace calmfield::testsupport;

using namespace std::chrono_literals;
using testsupport::contentOf;
using testsupport::waitUntil;
using widgets::CheckBox;

TEST(SleepDuration, ReadsMinutesOrHoursMinutesAndSecondsWithinTenSecondsToADay) {
    const std::vector<std::pair<const char*, std::chrono::seconds>> good{
        {"90s", 90s},  {"45m", 45min}, {"1h30m", 90min},     {"2h", 2h},
        {"45", 45min}, {"10s", 10s},   {"24h", 24h},         {"1440", 24h},
        {" 2H ", 2h},  {"1m30s", 90s}, {"1h0m15s", 1h + 15s}};
    for (const auto& [text, duration] : good)
        EXPECT_EQ(instance::readSleepDuration(QString::fromLatin1(text)), duration) << text;
    for (const char* bad : {"", "9s", "0", "24h1s", "1441", "abc", "30m1h", "1.5h", "-5", "h",
                            "45 m", "5mm", "9999999999"})
        EXPECT_FALSE(instance::readSleepDuration(QString::fromLatin1(bad))) << bad;

    const auto line = [](const char* value) {
        return app::readCommandLine({"calmfield", "--sleep", QString::fromLatin1(value)});
    };
    EXPECT_TRUE(line("45m").run);
    EXPECT_EQ(line("45m").sleep, 45min);
    const app::CommandLine refused = line("5s");
    EXPECT_FALSE(refused.run);
    EXPECT_EQ(refused.exitStatus, 2);
    EXPECT_TRUE(refused.errors.contains("\"5s\"") && refused.errors.contains("\"1h30m\""))
        << refused.errors.toStdString();
}

// The loudest sample of `frames` frames from `first` on.
float peak(const std::vector<float>& out, std::size_t first, std::size_t frames) {
    float loudest = 0.0f;
    for (std::size_t i = 2 * first; i < 2 * (first + frames); ++i)
        loudest = std::max(loudest, std::abs(out[i]));
    return loudest;
}

// A main window whose sleep timer ends the program through the real shutdown.
class SleepTimer : public testsupport::MainWindowFixture {
  protected:
    QAction* item(const char* caption) const {
        for (QAction* action : sleepMenu(form)->actions()) {
            if (action->text() == QLatin1String(caption))
                return action;
        }
        return nullptr;
    }
    QStringList checkedItems() const {
        QStringList checked;
        for (const QAction* action : sleepMenu(form)->actions()) {
            if (action->isChecked())
                checked.append(action->text());
        }
        return checked;
    }
    // Moves the clock on and lets the timer look at it, as its tick does.
    void passTime(std::chrono::milliseconds time) {
        clockTime += time;
        session->player().sleepTimer().check();
    }
    std::size_t frames(std::chrono::milliseconds time) const {
        return static_cast<std::size_t>(time.count()) * output.sampleRate() / 1000;
    }
};

TEST_F(SleepTimer, MenuOffersTheDurationsAndTheTooltipCountsDown) {
    QStringList captions;
    for (const QAction* action : sleepMenu(form)->actions())
        captions.append(action->text());
    EXPECT_EQ(captions, (QStringList{"Off", "15 minutes", "30 minutes", "45 minutes", "1 hour",
                                     "90 minutes", "2 hours"}));
    EXPECT_EQ(checkedItems(), QStringList{"Off"});
    EXPECT_EQ(trayIcon(form)->toolTip(), "Calmfield");

    item("30 minutes")->trigger();
    EXPECT_EQ(checkedItems(), QStringList{"30 minutes"});
    EXPECT_EQ(trayIcon(form)->toolTip(), QString::fromUtf8("Calmfield – sleeps in 30 min"));
    passTime(7min + 30s);
    EXPECT_EQ(trayIcon(form)->toolTip(), QString::fromUtf8("Calmfield – sleeps in 23 min"));
    item("30 minutes")->trigger(); // chosen again, it starts again and stays checked
    EXPECT_EQ(checkedItems(), QStringList{"30 minutes"});
    passTime(29min + 15s);
    EXPECT_EQ(trayIcon(form)->toolTip(), QString::fromUtf8("Calmfield – sleeps in 45 s"));

    run->program().startSleepTimer(70s); // as --sleep 70s: no item has it
    EXPECT_TRUE(checkedItems().isEmpty());
    const QAction* timeLeft = sleepMenu(form)->actions().first();
    EXPECT_EQ(timeLeft->text(), "Sleeps in 1 min 10 s");
    passTime(25s);
    EXPECT_EQ(timeLeft->text(), "Sleeps in 45 s");
    item("Off")->trigger();
    EXPECT_EQ(checkedItems(), QStringList{"Off"});
    EXPECT_EQ(sleepMenu(form)->actions().first()->text(), "Off") << "no time left is shown";
    EXPECT_EQ(trayIcon(form)->toolTip(), "Calmfield");
}

TEST_F(SleepTimer, FadesOverTheLastMinuteThenEndsWhateverIsOpenKeepingTheMix) {
    colourToggles(form)[1]->setValue(CheckBox::kOn);
    volumeSliders(form)[1]->setValue(-1234);
    aboutAction(form)->trigger();
    item("15 minutes")->trigger();
    passTime(14min);
    EXPECT_TRUE(session->player().sleepTimer().fading());
    const auto fade = output.pull(frames(60s + 100ms));
    const float full = peak(fade, 0, frames(100ms));
    EXPECT_LT(peak(fade, frames(58s + 900ms), frames(100ms)), full / 300);
    EXPECT_EQ(peak(fade, frames(60s), frames(100ms)), 0.0f);

    QDialog question;
    QTimer::singleShot(0, &question, [&] { passTime(1min); });
    QTimer::singleShot(5000, &question, &QDialog::accept); // only if nothing dismissed it
    EXPECT_EQ(question.exec(), QDialog::Rejected);
    EXPECT_EQ(contentOf(folder / "settings.ini"),
              "0,1,0,0,0,0,-1234,0,0,0,32000,32000,32000,32000,32000,0\r\n");
    EXPECT_EQ(trayIcon(form), nullptr);
    EXPECT_FALSE(channel(1).isPlaying());
    EXPECT_FALSE(windows->aboutWindow()->isVisible());
    EXPECT_EQ(programEndings, 1);
}

TEST_F(SleepTimer, OffDuringTheFadeBringsTheSoundBackAndAWokenComputerEndsAtOnce) {
    colourToggles(form)[1]->setValue(CheckBox::kOn);
    const float full = peak(output.pull(frames(1s)), 0, frames(1s));
    item("15 minutes")->trigger();
    passTime(14min + 30s);
    output.pull(frames(20s));
    const unsigned wakes = output.wakes();
    item("Off")->trigger();
    EXPECT_EQ(output.wakes(), wakes + 1) << "the change is heard at once";
    const auto back = output.pull(frames(3s));
    EXPECT_LT(peak(back, 0, frames(100ms)), full / 10);
    EXPECT_GT(peak(back, frames(2s), frames(1s)), full / 2);
    passTime(10min);
    EXPECT_EQ(programEndings, 0);

    // Suspended past its end, the computer wakes to a timer that is over.
    item("15 minutes")->trigger();
    clockTime += 20min;
    EXPECT_TRUE(waitUntil([&] { return programEndings == 1; }, 3s));
}

} // namespace
} // namespace calmfield
