#include "routines/NextEventText.h"

#include <QDateTime>
#include <QFileInfo>

#include <array>

namespace calmfield::routines {
namespace {

constexpr std::array<const char*, 7> kWeekdays{"Monday", "Tuesday",  "Wednesday", "Thursday",
                                               "Friday", "Saturday", "Sunday"};
constexpr int kEvening = 18;

// "tonight", "today", "tomorrow", "on Monday" within a week, else the date.
QString whenIs(const QDateTime& moment, const QDate& today) {
    const qint64 days = today.daysTo(moment.date());
    if (days == 0)
        return moment.time().hour() >= kEvening ? QStringLiteral("tonight")
                                                : QStringLiteral("today");
    if (days == 1)
        return QStringLiteral("tomorrow");
    if (days < 7)
        return QStringLiteral("on %1").arg(QString::fromLatin1(
            kWeekdays[static_cast<std::size_t>(moment.date().dayOfWeek() - 1)]));
    return QStringLiteral("on %1").arg(moment.date().toString(Qt::ISODate));
}

} // namespace

QString describeNextEvent(const std::optional<RoutineEvent>& event,
                          const std::vector<Routine>& routines, qint64 now, const QTimeZone& zone) {
    if (!event)
        return QStringLiteral("No routine is on.");
    const QDateTime moment = QDateTime::fromSecsSinceEpoch(event->at(), zone);
    const QString& mix = routines[event->occurrence.routine].mix;
    const QString what =
        mix.isEmpty() ? QStringLiteral("the mix that plays") : QFileInfo(mix).fileName();
    const QString when = moment.toString(QStringLiteral("HH:mm")) + QLatin1Char(' ') +
                         whenIs(moment, QDateTime::fromSecsSinceEpoch(now, zone).date());
    if (event->kind == RoutineEvent::Kind::Start)
        return QStringLiteral("Next: %1, %2").arg(when, what);
    return QStringLiteral("Next: %1, %2 ends").arg(when, what);
}

} // namespace calmfield::routines
