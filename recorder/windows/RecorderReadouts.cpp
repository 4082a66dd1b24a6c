#include "recorder/windows/RecorderReadouts.h"

#include <charconv>

namespace calmfield::recorder {
namespace {

constexpr std::uint64_t kBytesPerMegabyte = 1'000'000;
constexpr qint64 kSecondsPerDay = 24 * 60 * 60;

QDateTime toWholeSeconds(QDateTime time) {
    const QTime clock = time.time();
    time.setTime(QTime(clock.hour(), clock.minute(), clock.second()));
    return time;
}

} // namespace

QString sizeFigure(std::uint64_t bytes) {
    QString figure = QStringLiteral(" ");
    if (const std::uint64_t whole = bytes / kBytesPerMegabyte; whole != 0 || bytes == 0)
        figure += QString::number(whole);
    if (const std::uint64_t part = bytes % kBytesPerMegabyte; part != 0) {
        QString digits = QStringLiteral("%1").arg(part, 6, 10, QLatin1Char('0'));
        while (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        figure += QLatin1Char('.') + digits;
    }
    return figure;
}

std::optional<std::uint64_t> byteCount(std::string_view sizeReply) {
    std::uint64_t bytes = 0;
    const char* end = sizeReply.data() + sizeReply.size();
    const auto [stop, error] = std::from_chars(sizeReply.data(), end, bytes);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return bytes;
}

std::optional<QString> informationText(std::string_view sizeReply) {
    const std::optional<std::uint64_t> bytes = byteCount(sizeReply);
    if (!bytes)
        return std::nullopt;
    return QStringLiteral("MBytes : ") + sizeFigure(*bytes) +
           QStringLiteral("\r\nChannels : 2 (stereo)\r\n");
}

QString elapsedText(const QDateTime& start, const QDateTime& now) {
    const qint64 seconds =
        (toWholeSeconds(start).secsTo(toWholeSeconds(now)) % kSecondsPerDay + kSecondsPerDay) %
        kSecondsPerDay;
    return QTime(0, 0).addSecs(static_cast<int>(seconds)).toString(QStringLiteral("hh:mm:ss"));
}

} // namespace calmfield::recorder
