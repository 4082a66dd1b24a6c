#pragma once

#include <QString>

#include <cstdint>
#include <span>
#include <vector>

namespace calmfield::persistence {

struct LineFileContent {
    std::vector<std::int16_t> values; // exactly the fields asked for, or empty on an error
    QString error;                    // what went wrong, in words for the user; empty on success
};

// Reads the first `fieldCount` fields of the file at `path` in the line format.
LineFileContent readLineFile(const QString& path, std::size_t fieldCount);

// Writes `values` as one line to `path`. The old file is replaced only once the new one is
// complete, so a failed write leaves it as it was. Gives what went wrong, or an empty text.
QString writeLineFile(const QString& path, std::span<const std::int16_t> values);

} // namespace calmfield::persistence
