#include "instance/InstanceRequest.h"

#include "instance/SleepDuration.h"

#include <QtGlobal>

#include <algorithm>

namespace calmfield::instance {
namespace {

constexpr QByteArrayView kShow = "show";
constexpr QByteArrayView kShowWithToken = "show ";
constexpr QByteArrayView kSleep = "sleep ";
constexpr QByteArrayView kOpen = "open ";
constexpr QByteArrayView kLoaded = "loaded\n";
constexpr QByteArrayView kNotLoaded = "not-loaded ";
// Everything but the unreserved characters and the folder separator, so that an encoded path
// holds no space or line end.
constexpr char kKeptInPaths[] = "/";

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

bool isPrintableWord(QByteArrayView word) {
    return std::all_of(word.begin(), word.end(), [](char c) { return c > ' ' && c < 0x7f; });
}

std::optional<InstanceRequest> readOpen(QByteArrayView words) {
    const qsizetype space = words.indexOf(' ');
    const QByteArrayView encoded = space < 0 ? words : words.first(space);
    if (encoded.isEmpty() || !isPrintableWord(encoded))
        return std::nullopt;
    OpenRequest open{QByteArray::fromPercentEncoding(encoded.toByteArray()), {}};
    if (!isUsableMixPath(open.path))
        return std::nullopt;
    if (space >= 0) {
        const QByteArrayView token = words.sliced(space + 1);
        if (!isUsableActivationToken(token))
            return std::nullopt;
        open.activationToken = token.toByteArray();
    }
    return open;
}

} // namespace

bool isUsableMixPath(QByteArrayView path) {
    return path.startsWith('/') && path.size() <= kLongestMixPath && !path.contains('\0');
}

bool isUsableActivationToken(QByteArrayView token) {
    return !token.isEmpty() && token.size() <= kLongestActivationToken && isPrintableWord(token);
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
    if (body.startsWith(kOpen))
        return readOpen(body.sliced(kOpen.size()));
    if (body.startsWith(kSleep)) {
        const auto duration = readSeconds(body.sliced(kSleep.size()));
        if (duration && *duration >= kShortestSleep && *duration <= kLongestSleep)
            return SleepRequest{*duration};
    }
    return std::nullopt;
}

QByteArray instanceRequestLine(const InstanceRequest& request) {
    if (const auto* open = std::get_if<OpenRequest>(&request)) {
        QByteArray line = kOpen.toByteArray() + open->path.toPercentEncoding(kKeptInPaths);
        if (isUsableActivationToken(open->activationToken))
            line += ' ' + open->activationToken;
        return line + '\n';
    }
    if (const auto* sleep = std::get_if<SleepRequest>(&request))
        return kSleep.toByteArray() +
               QByteArray::number(static_cast<qint64>(sleep->duration.count())) + '\n';
    const QByteArray& token = std::get<ShowRequest>(request).activationToken;
    if (!isUsableActivationToken(token))
        return kShow.toByteArray() + '\n';
    return kShowWithToken.toByteArray() + token + '\n';
}

QByteArray mixAnswerLine(const MixAnswer& answer) {
    if (answer.ok())
        return kLoaded.toByteArray();
    QByteArray failure = answer.reason().toUtf8();
    // A message that would not fit is cut short, at a character's start.
    const qsizetype room = (kLongestAnswerLine - kNotLoaded.size() - 1) / 3;
    if (failure.size() > room) {
        failure.truncate(room);
        while (!failure.isEmpty() && (failure.back() & 0xc0) == 0x80)
            failure.chop(1);
        if (!failure.isEmpty() && (failure.back() & 0x80) != 0)
            failure.chop(1);
    }
    return kNotLoaded.toByteArray() + failure.toPercentEncoding() + '\n';
}

std::optional<MixAnswer> readMixAnswer(QByteArrayView line) {
    if (line == kLoaded)
        return MixAnswer(files::Done{});
    if (!line.startsWith(kNotLoaded) || !line.endsWith('\n') || line.size() > kLongestAnswerLine)
        return std::nullopt;
    const QByteArrayView encoded = line.sliced(kNotLoaded.size()).chopped(1);
    if (encoded.isEmpty() || !isPrintableWord(encoded))
        return std::nullopt;
    const QString failure =
        QString::fromUtf8(QByteArray::fromPercentEncoding(encoded.toByteArray()));
    if (failure.isEmpty())
        return std::nullopt;
    return MixAnswer(files::failure(failure));
}

QByteArray launchersActivationToken() {
    for (const char* name : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"}) {
        const QByteArray token = qgetenv(name);
        if (isUsableActivationToken(token))
            return token;
    }
    return {};
}

} // namespace calmfield::instance
