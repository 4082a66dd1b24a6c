#include "app/InstanceRequest.h"

#include "app/SleepDuration.h"

#include <QtGlobal>

#include <algorithm>

namespace calmfield::app {
namespace {

constexpr QByteArrayView kShow = "show";
constexpr QByteArrayView kShowWithToken = "show ";
constexpr QByteArrayView kSleep = "sleep ";

bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

// A plain decimal number of seconds, without sign or spaces; no more than 9 digits keeps it far
// from overflowing before the range check.
std::optional<std::chrono::seconds> readSeconds(QByteArrayView digits) {
    if (digits.isEmpty() || digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), isAsciiDigit))
        return std::nullopt;
    long long seconds = 0;
    for (const char digit : digits)
        seconds = seconds * 10 + (digit - '0');
    return std::chrono::seconds(seconds);
}

} // namespace

bool isUsableActivationToken(QByteArrayView token) {
    return !token.isEmpty() && token.size() <= kLongestActivationToken &&
           std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < 0x7f; });
}

std::optional<InstanceRequest> readInstanceRequest(QByteArrayView line) {
    if (line.isEmpty() || line.size() > kLongestRequestLine || line.back() != '\n')
        return std::nullopt;
    const QByteArrayView body = line.chopped(1);
    if (body == kShow)
        return ShowRequest{};
    if (body.startsWith(kShowWithToken)) {
        const QByteArrayView token = body.sliced(kShowWithToken.size());
        if (!isUsableActivationToken(token))
            return std::nullopt;
        return ShowRequest{token.toByteArray()};
    }
    if (body.startsWith(kSleep)) {
        const auto duration = readSeconds(body.sliced(kSleep.size()));
        if (duration && *duration >= kShortestSleep && *duration <= kLongestSleep)
            return SleepRequest{*duration};
    }
    return std::nullopt;
}

QByteArray instanceRequestLine(const InstanceRequest& request) {
    if (const auto* sleep = std::get_if<SleepRequest>(&request))
        return kSleep.toByteArray() +
               QByteArray::number(static_cast<qint64>(sleep->duration.count())) + '\n';
    const QByteArray& token = std::get<ShowRequest>(request).activationToken;
    if (!isUsableActivationToken(token))
        return kShow.toByteArray() + '\n';
    return kShowWithToken.toByteArray() + token + '\n';
}

QByteArray launchersActivationToken() {
    for (const char* name : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"}) {
        const QByteArray token = qgetenv(name);
        if (isUsableActivationToken(token))
            return token;
    }
    return {};
}

} // namespace calmfield::app
