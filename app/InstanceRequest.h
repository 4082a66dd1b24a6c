#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <chrono>
#include <optional>
#include <variant>

namespace calmfield::app {

// What a later start asks of the running copy, one line on the single-instance socket:
//   "show\n"               show the window;
//   "show <token>\n"       show it, and let it take the focus with the launcher's activation
//                          token, which a Wayland desktop asks of a window that is to come forward;
//   "sleep <seconds>\n"    run the sleep timer for that long, showing nothing.
struct ShowRequest {
    // Empty when the later start was given none.
    QByteArray activationToken;
    bool operator==(const ShowRequest&) const = default;
};
struct SleepRequest {
    std::chrono::seconds duration;
    bool operator==(const SleepRequest&) const = default;
};
using InstanceRequest = std::variant<ShowRequest, SleepRequest>;

// Desktops make tokens of a few dozen characters; a longer one is not taken.
inline constexpr qsizetype kLongestActivationToken = 255;
// No request is longer; a sender that goes on without a line end is not listened to further.
inline constexpr qsizetype kLongestRequestLine = kLongestActivationToken + 6;

// Whether `token` can be handed on: 1 to kLongestActivationToken printable ASCII characters
// other than the space.
bool isUsableActivationToken(QByteArrayView token);

// The request in `line`, which ends with its '\n'. Empty for a line that is not understood, as
// from another version of the program, for a sleep outside the sleep timer's range and for a
// token that is not usable.
std::optional<InstanceRequest> readInstanceRequest(QByteArrayView line);

// The line that asks for `request`; a show request with an unusable token asks without one.
QByteArray instanceRequestLine(const InstanceRequest& request);

// The token the launcher gave this start, XDG_ACTIVATION_TOKEN or else DESKTOP_STARTUP_ID; empty
// when neither is set or usable.
QByteArray launchersActivationToken();

} // namespace calmfield::app
