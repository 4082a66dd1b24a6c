#include "instance/SleepDuration.h"

#include <QRegularExpression>

namespace calmfield::instance {

std::optional<std::chrono::seconds> readDuration(const QString& text, std::chrono::seconds shortest,
                                                 std::chrono::seconds longest) {
    // Six digits are more than any duration in range needs, and keep the sums far from overflow.
    static const QRegularExpression minutesOnly(QStringLiteral("^(\\d{1,6})$"));
    static const QRegularExpression withUnits(
        QStringLiteral("^(?:(\\d{1,6})h)?(?:(\\d{1,6})m)?(?:(\\d{1,6})s)?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;

    std::chrono::seconds duration{0};
    if (const auto plain = minutesOnly.match(trimmed); plain.hasMatch()) {
        duration = std::chrono::minutes(plain.captured(1).toLongLong());
    } else if (const auto units = withUnits.match(trimmed); units.hasMatch()) {
        duration = std::chrono::hours(units.captured(1).toLongLong()) +
                   std::chrono::minutes(units.captured(2).toLongLong()) +
                   std::chrono::seconds(units.captured(3).toLongLong());
    } else {
        return std::nullopt;
    }
    if (duration < shortest || duration > longest)
        return std::nullopt;
    return duration;
}

} // namespace calmfield::instance
