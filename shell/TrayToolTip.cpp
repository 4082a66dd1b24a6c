#include "shell/TrayToolTip.h"

#include "files/ProgramTitle.h"

#include <QStringList>

namespace calmfield::shell {
namespace {

using namespace std::chrono_literals;

// Whole minutes or, in the last minute, whole seconds, rounded up: the tooltip never says less
// is left than is.
QString timeLeft(std::chrono::milliseconds left) {
    if (left > 1min)
        return QStringLiteral("%1 min").arg((left + 1min - 1ms) / 1min);
    return QStringLiteral("%1 s").arg((left + 1s - 1ms) / 1s);
}

} // namespace

QString trayToolTip(const player::MixPlayer& player, const QString& routinesLine) {
    QStringList states;
    // A pause with nothing ticked is no pause to tell of.
    if (player.paused() && !player.tickedColours().empty())
        states.append(QStringLiteral("paused"));
    const player::SleepTimer& timer = player.sleepTimer();
    if (timer.running())
        states.append(QStringLiteral("sleeps in %1").arg(timeLeft(timer.remaining())));
    QString tip = QString::fromLatin1(files::kProgramTitle);
    if (!states.isEmpty())
        tip += QStringLiteral(" \u2013 ") + states.join(QStringLiteral(", "));
    if (routinesLine.isEmpty())
        return tip;
    tip += QLatin1Char('\n') + routinesLine;
    if (player.muted())
        tip += QStringLiteral("\nRoutine silent while muted");
    return tip;
}

} // namespace calmfield::shell
