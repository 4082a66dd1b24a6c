#include "routineswindow/RiseAndFall.h"

namespace calmfield::routineswindow {
namespace {

constexpr int kSecondsAStep = 5;
constexpr int kMinutePosition = 60 / kSecondsAStep;

} // namespace

std::chrono::seconds riseOrFallAt(int position) {
    if (position <= kMinutePosition)
        return std::chrono::seconds(position * kSecondsAStep);
    return std::chrono::minutes(position - kMinutePosition + 1);
}

double positionOfRiseOrFall(double seconds) {
    if (seconds <= 60)
        return seconds / kSecondsAStep;
    return seconds / 60 + kMinutePosition - 1;
}

QString riseOrFallText(std::chrono::seconds length) {
    const auto minutes = length.count() / 60;
    const auto seconds = length.count() % 60;
    if (minutes == 0)
        return QStringLiteral("%1 s").arg(seconds);
    if (seconds == 0)
        return QStringLiteral("%1 min").arg(minutes);
    return QStringLiteral("%1 min %2 s").arg(minutes).arg(seconds);
}

} // namespace calmfield::routineswindow
