// A line on the single-instance socket, where any program of the same user can write, the line a
// later start writes for a request read from the same bytes, and the running copy's answer to an
// open request as the later start reads it.

#include "app/InstanceRequest.h"
#include "app/SleepDuration.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>

using namespace calmfield;
using namespace calmfield::fuzzing;

namespace {

// The request written as its line is read back the same, and fits what the reader listens to.
void requireReadBack(const app::InstanceRequest& request) {
    const QByteArray line = app::instanceRequestLine(request);
    require(line.size() <= app::kLongestRequestLine,
            "a later start's line is never cut off by the reader");
    require(app::readInstanceRequest(line) == request,
            "a request written and read again keeps its values");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    if (const auto request = app::readInstanceRequest(bytes)) {
        require(bytes.endsWith('\n') && bytes.size() <= app::kLongestRequestLine,
                "only a whole line within the longest request is read");
        if (const auto* sleep = std::get_if<app::SleepRequest>(&*request)) {
            require(sleep->duration >= app::kShortestSleep && sleep->duration <= app::kLongestSleep,
                    "a sleep request lies within the sleep timer's range");
        } else if (const auto* open = std::get_if<app::OpenRequest>(&*request)) {
            require(app::isUsableMixPath(open->path), "an open request names an absolute path");
            require(open->activationToken.isEmpty() ||
                        app::isUsableActivationToken(open->activationToken),
                    "an open request carries a usable token or none");
        } else {
            const QByteArray& token = std::get<app::ShowRequest>(*request).activationToken;
            require(token.isEmpty() || app::isUsableActivationToken(token),
                    "a show request carries a usable token or none");
        }
        requireReadBack(*request);
    }

    // The same bytes as the token a launcher gave: an unusable one is left out.
    const QByteArray token = bytes.toByteArray();
    const app::ShowRequest show{app::isUsableActivationToken(token) ? token : QByteArray()};
    require(app::readInstanceRequest(app::instanceRequestLine(app::ShowRequest{token})) ==
                app::InstanceRequest(show),
            "a show request is handed over with its token when usable, otherwise without");
    requireReadBack(show);

    // The same bytes as the path of a mix to open, whatever bytes it holds.
    const QByteArray path =
        "/" + bytes.first(std::min(bytes.size(), app::kLongestMixPath - 1)).toByteArray();
    if (app::isUsableMixPath(path))
        requireReadBack(
            app::OpenRequest{path, app::isUsableActivationToken(token) ? token : QByteArray()});

    // An answer read is written back with its message, cut short only where it would not fit.
    if (const auto answer = app::readMixAnswer(bytes)) {
        const auto again = app::readMixAnswer(app::mixAnswerLine(*answer));
        require(again && again->ok() == answer->ok() &&
                    (answer->ok() || answer->reason().startsWith(again->reason())),
                "an answer read and written again keeps its message");
    }
    const app::MixAnswer told =
        token.isEmpty() ? app::MixAnswer(files::Done{}) : files::failure(QString::fromUtf8(token));
    const QByteArray answerLine = app::mixAnswerLine(told);
    require(answerLine.size() <= app::kLongestAnswerLine && answerLine.endsWith('\n') &&
                answerLine.count('\n') == 1,
            "an answer is one line within the reader's limit");
    require(app::readMixAnswer(answerLine).has_value(), "every answer written can be read");
    return 0;
}
