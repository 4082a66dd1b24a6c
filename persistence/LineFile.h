#pragma once

#include "files/Result.h"
#include "persistence/FieldRanges.h"

#include <QString>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace calmfield::persistence {

// Reads the first `fieldCount` fields of the file at `path` in the line format.
// Gives exactly the fields asked for, or what went wrong in words for the user.
files::Result<std::vector<std::int16_t>, QString> readLineFile(const QString& path,
                                                               std::size_t fieldCount);
// As above, one field for each of `ranges`, each within what its control takes.
files::Result<std::vector<std::int16_t>, QString> readLineFile(const QString& path,
                                                               std::span<const FieldRange> ranges);

// The fields of a file, and the text after the line that holds the last of them.
struct LineFileContent {
    std::vector<std::int16_t> values;
    std::string rest;
};
// As above, with the text after the fields.
files::Result<LineFileContent, QString> readLineFileAndRest(const QString& path,
                                                            std::span<const FieldRange> ranges);

// Writes `values` as one line to `path`, then `after`. The old file is replaced only once the new
// one is complete, so a failed write leaves it as it was.
files::Result<files::Done, QString> writeLineFile(const QString& path,
                                                  std::span<const std::int16_t> values,
                                                  std::string_view after = {});

} // namespace calmfield::persistence
