// A line on the single-instance socket, where any program of the same user can write, the line a
// later start writes for a request read from the same bytes, and the running copy's answer to an
// open request as the later start reads it.

#include "instance/InstanceRequest.h"
#include "instance/SleepDuration.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>

using namespace calmfield;
using namespace calmfield::fuzzing;

namespace {

// The request written as its line is read back the same, and fits what the reader listens to.
void requireReadBack(const instance::InstanceRequest& request) {
    const QByteArray line = instance::instanceRequestLine(request);
    require(line.size() <= instance::kLongestRequestLine,
            "a later start's line is never cut off by the reader");
    require(instance::readInstanceRequest(line) == request,
            "a request written and read again keeps its values");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    if (const auto request = instance::readInstanceRequest(bytes)) {
        require(bytes.endsWith('\n') && bytes.size() <= instance::kLongestRequestLine,
                "only a whole line within the longest request is read");
        if (const auto* sleep = std::get_if<instance::SleepRequest>(&*request)) {
            require(sleep->duration >= instance::kShortestSleep &&
                        sleep->duration <= instance::kLongestSleep,
                    "a sleep request lies within the sleep timer's range");
        } else if (const auto* open = std::get_if<instance::OpenRequest>(&*request)) {
            require(instance::isUsableMixPath(open->path),
                    "an open request names an absolute path");
            require(open->activationToken.isEmpty() ||
                        instance::isUsableActivationToken(open->activationToken),
                    "an open request carries a usable token or none");
        } else {
            const QByteArray& token = std::get<instance::ShowRequest>(*request).activationToken;
            require(token.isEmpty() || instance::isUsableActivationToken(token),
                    "a show request carries a usable token or none");
        }
        requireReadBack(*request);
    }

    // The same bytes as the token a launcher gave: an unusable one is left out.
    const QByteArray token = bytes.toByteArray();
    const instance::ShowRequest show{instance::isUsableActivationToken(token) ? token
                                                                              : QByteArray()};
    require(instance::readInstanceRequest(instance::instanceRequestLine(
                instance::ShowRequest{token})) == instance::InstanceRequest(show),
            "a show request is handed over with its token when usable, otherwise without");
    requireReadBack(show);

    // The same bytes as the path of a mix to open, whatever bytes it holds.
    const QByteArray path =
        "/" + bytes.first(std::min(bytes.size(), instance::kLongestMixPath - 1)).toByteArray();
    if (instance::isUsableMixPath(path))
        requireReadBack(instance::OpenRequest{
            path, instance::isUsableActivationToken(token) ? token : QByteArray()});

    // An answer read is written back with its message, cut short only where it would not fit.
    if (const auto answer = instance::readMixAnswer(bytes)) {
        const auto again = instance::readMixAnswer(instance::mixAnswerLine(*answer));
        require(again && again->ok() == answer->ok() &&
                    (answer->ok() || answer->reason().startsWith(again->reason())),
                "an answer read and written again keeps its message");
    }
    const instance::MixAnswer told = token.isEmpty() ? instance::MixAnswer(files::Done{})
                                                     : files::failure(QString::fromUtf8(token));
    const QByteArray answerLine = instance::mixAnswerLine(told);
    require(answerLine.size() <= instance::kLongestAnswerLine && answerLine.endsWith('\n') &&
                answerLine.count('\n') == 1,
            "an answer is one line within the reader's limit");
    require(instance::readMixAnswer(answerLine).has_value(), "every answer written can be read");
    return 0;
}
