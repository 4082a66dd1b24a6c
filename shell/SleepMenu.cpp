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

} // namespace

SleepMenu::SleepMenu(player::SleepTimer& timer, QWidget* parent)
    : QMenu(QStringLiteral("Sleep Timer"), parent), timer_(timer) {
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
        item->setChecked(durationOf(item) == duration);
}

} // namespace calmfield::shell
