#pragma once

#include "engine/ToneSetting.h"
#include "files/Result.h"

#include <QString>

#include <string>
#include <string_view>

namespace calmfield::persistence {

// The listener's tone, kept in a small file of its own in the user's settings folder, never in a
// configuration file nor in the startup settings file. It reads as it sounds:
//
//   calmfield tone 1
//   31.5 Hz: -6.5 dB
//   ... one line for each band, up to 16000 Hz ...
//   notch: on
//   notch centre: 4000 Hz
//   notch depth: 30 dB
inline constexpr const char* kToneFileName = "tone";

// Why the tone file gives no tone.
struct ToneFileFailure {
    enum class Kind {
        missing,    // nothing there yet: the tone is flat
        unreadable, // there, but it cannot be read
        damaged,    // read, but not a tone this program wrote
    };
    Kind kind;
    // In words that fit into a sentence to the user.
    QString reason;
};

std::string formatTone(const engine::ToneSetting& tone);
// The tone in `text`, exactly as formatTone writes it bar a sign or ".0" on the decibels; any
// other text, a value out of its range included, is damaged and gives why in words.
files::Result<engine::ToneSetting, QString> parseTone(std::string_view text);

files::Result<engine::ToneSetting, ToneFileFailure> readToneFile(const QString& path);
// Replaces the file at `path` only once the new one is complete. Gives what went wrong if it fails.
files::Result<files::Done, QString> writeToneFile(const QString& path,
                                                  const engine::ToneSetting& tone);

} // namespace calmfield::persistence
