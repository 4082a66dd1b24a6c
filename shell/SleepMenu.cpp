#include "shell/SleepMenu.h"

#include <array>

namespace calmfield::shell {
namespace {

using namespace std::chrono_literals;

struct SleepChoice {
    const char* caption;
    std::chrono::minutes duration; // zero for "Off"
};
constexpr std::array<SleepChoice, 7> kSleepChoices{{{"Off", 0min},
                                                    {"15 minutes", 15min},
                                                    {"30 minutes", 30min},
                                                    {"45 minutes", 45min},
                                                    {"1 hour", 60min},
                                                    {"90 minutes", 90min},
                                                    {"2 hours", 120min}}};

std::chrono::milliseconds durationOf(const QAction* item) {
    return std::chrono::milliseconds(item->data().toLongLong());
}

// "1 min 10 s", "45 s" or "30 min", the seconds rounded up: it never says less is left than is.
QString timeLeftInWords(std::chrono::milliseconds left) {
    const auto seconds = (left + 1s - 1ms) / 1s;
    const auto minutes = seconds / 60;
    if (minutes == 0)
        return QStringLiteral("%1 s").arg(seconds);
    if (seconds % 60 == 0)
        return QStringLiteral("%1 min").arg(minutes);
    return QStringLiteral("%1 min %2 s").arg(minutes).arg(seconds % 60);
}

} // namespace

SleepMenu::SleepMenu(player::SleepTimer& timer, std::function<bool()> routineOn, QWidget* parent)
    : QMenu(QStringLiteral("Sleep Timer"), parent), timer_(timer), routineOn_(std::move(routineOn)),
      timeLeft_(new QAction(this)) {
    timeLeft_->setEnabled(false);
    for (const SleepChoice& choice : kSleepChoices) {
        QAction* item = addAction(QString::fromLatin1(choice.caption));
        item->setCheckable(true);
        item->setData(static_cast<qlonglong>(
            std::chrono::duration_cast<std::chrono::milliseconds>(choice.duration).count()));
        connect(item, &QAction::triggered, this, [this, item] { chosen(item); });
    }
    check(0ms);
    connect(&timer_, &player::SleepTimer::started, this, &SleepMenu::check);
    connect(&timer_, &player::SleepTimer::ended, this, [this] { check(0ms); });
    connect(&timer_, &player::SleepTimer::ticked, this, &SleepMenu::showTimeLeft);
}

void SleepMenu::showTimeLeft() {
    const bool shown = actions().contains(timeLeft_);
    if (!timer_.running()) {
        if (shown)
            removeAction(timeLeft_);
        return;
    }
    QString text = QStringLiteral("Sleeps in %1").arg(timeLeftInWords(timer_.remaining()));
    if (routineOn_())
        text += QStringLiteral(", then pauses");
    timeLeft_->setText(text);
    if (!shown)
        insertAction(actions().value(0), timeLeft_);
}

void SleepMenu::chosen(QAction* item) {
    const std::chrono::milliseconds duration = durationOf(item);
    if (duration > 0ms) {
        timer_.start(duration);
    } else {
        check(0ms);
        timer_.cancel();
    }
}

void SleepMenu::check(std::chrono::milliseconds duration) {
    for (QAction* item : actions())
        if (item != timeLeft_)
            item->setChecked(durationOf(item) == duration);
}

} // namespace calmfield::shell
