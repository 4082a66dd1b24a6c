#pragma once

#include <QCoreApplication>
#include <QString>

// What the session, both kinds of run and keeping the computer awake tell the user, in one place
// so that a run with windows and one without say the same. Each text is marked for translation in
// the context "Messages"; say() gives it in the user's language.
namespace calmfield::session::messages {

inline constexpr char kVolumePortFailure[] =
    QT_TRANSLATE_NOOP("Messages", "Couldn't open the mixer.");
// Follows the above: the run goes on without a sound server.
inline constexpr char kSoundStartsLater[] =
    QT_TRANSLATE_NOOP("Messages", "The sound starts by itself once the sound server runs.");
// %1: the sound server's reason.
inline constexpr char kDeviceFailure[] =
    QT_TRANSLATE_NOOP("Messages", "Calmfield couldn't open the sound device: %1. Check that "
                                  "PulseAudio or PipeWire is running.");
// When the sound server gave no reason of its own.
inline constexpr char kNoServerAnswer[] = QT_TRANSLATE_NOOP("Messages", "no sound server answered");
// %1: the configuration file's path, %2: why it was not loaded.
inline constexpr char kMixNotLoaded[] = QT_TRANSLATE_NOOP(
    "Messages", "The configuration \"%1\" could not be loaded: %2. Nothing was changed.");
inline constexpr char kEnding[] = QT_TRANSLATE_NOOP("Messages", "Calmfield is ending");

// %1: why the choice could not be written.
inline constexpr char kKeepAwakeNotKept[] =
    QT_TRANSLATE_NOOP("Messages", "Calmfield cannot remember this choice for the next time: %1.");
inline constexpr char kNoWayToKeepAwake[] =
    QT_TRANSLATE_NOOP("Messages", "This desktop offers no way to keep the computer awake, so it "
                                  "may still suspend while the noise plays.");
inline constexpr char kKeepAwakeRefused[] =
    QT_TRANSLATE_NOOP("Messages", "This desktop refused to keep the computer awake while the noise "
                                  "plays. Whether it suspends is up to the desktop's power "
                                  "settings.");

inline constexpr char kWindowNotReachable[] =
    QT_TRANSLATE_NOOP("Messages", "Calmfield cannot listen in its runtime folder, so starting it "
                                  "again will not bring this window forward.");
inline constexpr char kHeadlessNotReachable[] =
    QT_TRANSLATE_NOOP("Messages", "Calmfield cannot listen in its runtime folder, so starting it "
                                  "again will not reach this copy.");
inline constexpr char kNothingTicked[] = QT_TRANSLATE_NOOP(
    "Messages", "The mix has no colour ticked, so nothing plays. The media controls' Next and "
                "Previous choose a recent mix, and \"calmfield --headless --mix FILE.clm\" plays "
                "another.");
inline constexpr char kNoMediaControls[] =
    QT_TRANSLATE_NOOP("Messages", "Calmfield cannot offer its media controls on the session bus, "
                                  "so it plays without them.");
inline constexpr char kNoDesktopSession[] =
    QT_TRANSLATE_NOOP("Messages", "No desktop session was found, so Calmfield has no window to "
                                  "show. \"calmfield --headless\" plays without one.");
inline constexpr char kPlayingWithoutAWindow[] = QT_TRANSLATE_NOOP(
    "Messages", "Calmfield is already playing without a window. To stop it, use its media "
                "controls' Quit, or run \"systemctl --user stop calmfield\".");

inline constexpr char kNoRuntimeFolder[] =
    QT_TRANSLATE_NOOP("Messages", "No private runtime folder can be made, so starting Calmfield "
                                  "again would open a second copy.");
inline constexpr char kNoLockFile[] =
    QT_TRANSLATE_NOOP("Messages", "No lock file can be made in the runtime folder, so starting "
                                  "Calmfield again would open a second copy.");
inline constexpr char kNotAnswering[] =
    QT_TRANSLATE_NOOP("Messages", "Calmfield is already running but does not answer.");
inline constexpr char kMixNotAnswered[] = QT_TRANSLATE_NOOP(
    "Messages", "Calmfield is already running but did not say whether it loaded the mix.");
inline constexpr char kAlreadyRunning[] =
    QT_TRANSLATE_NOOP("Messages", "Calmfield is already running, so this copy ends.");

// `text`, one of the above, in the user's language.
inline QString say(const char* text) {
    return QCoreApplication::translate("Messages", text);
}

} // namespace calmfield::session::messages
