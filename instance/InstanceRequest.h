#pragma once

#include "files/Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <chrono>
#include <optional>
#include <variant>

namespace calmfield::instance {

// What a later start asks of the running copy, one line on the single-instance socket:
//   "show\n"               show the window;
//   "show <token>\n"       show it, and let it take the focus with the launcher's activation
//                          token, which a Wayland desktop asks of a window that is to come forward;
//   "sleep <seconds>\n"    run the sleep timer for that long, showing nothing;
//   "open <path>\n"        load the configuration file at that absolute path, percent-encoded,
//   "open <path> <token>\n"  and show the window, with the token as for "show". The running copy
//                          answers this one with a line of its own (MixAnswer).
struct ShowRequest {
    // Empty when the later start was given none.
    QByteArray activationToken;
    bool operator==(const ShowRequest&) const = default;
};
struct SleepRequest {
    std::chrono::seconds duration;
    bool operator==(const SleepRequest&) const = default;
};
struct OpenRequest {
    // The file's absolute path, as the system's bytes.
    QByteArray path;
    QByteArray activationToken;
    bool operator==(const OpenRequest&) const = default;
};
using InstanceRequest = std::variant<ShowRequest, SleepRequest, OpenRequest>;

// Desktops make tokens of a few dozen characters; a longer one is not taken.
inline constexpr qsizetype kLongestActivationToken = 255;
// The system's longest path, in bytes.
inline constexpr qsizetype kLongestMixPath = 4096;
// No request is longer: "open ", every byte of the longest path percent-encoded, a space, the
// longest token and the line end. A sender that goes on without a line end is not listened to
// further.
inline constexpr qsizetype kLongestRequestLine =
    5 + 3 * kLongestMixPath + 1 + kLongestActivationToken + 1;

// Whether `token` can be handed on: 1 to kLongestActivationToken printable ASCII characters
// other than the space.
bool isUsableActivationToken(QByteArrayView token);

// The request in `line`, which ends with its '\n'. Empty for a line that is not understood, as
// from another version of the program, for a sleep outside the sleep timer's range and for a
// token that is not usable.
std::optional<InstanceRequest> readInstanceRequest(QByteArrayView line);

// The line that asks for `request`; a show request with an unusable token asks without one.
QByteArray instanceRequestLine(const InstanceRequest& request);

// Whether `path` can be handed on: an absolute path of at most kLongestMixPath bytes without a
// null.
bool isUsableMixPath(QByteArrayView path);

// What the running copy answers an open request with: "loaded\n", or "not-loaded <message>\n"
// with the message percent-encoded.
// Whether the mix was loaded; when not, why not, as the running copy told its user.
using MixAnswer = files::Result<files::Done, QString>;
inline constexpr qsizetype kLongestAnswerLine = 64 * 1024;
QByteArray mixAnswerLine(const MixAnswer& answer);
// Empty for a line that is not understood.
std::optional<MixAnswer> readMixAnswer(QByteArrayView line);

// The token the launcher gave this start, XDG_ACTIVATION_TOKEN or else DESKTOP_STARTUP_ID; empty
// when neither is set or usable.
QByteArray launchersActivationToken();

} // namespace calmfield::instance
