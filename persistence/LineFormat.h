#pragma once

#include "files/Result.h"
#include "persistence/FieldRanges.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace calmfield::persistence {

// The one-line text format of a mix: signed 16-bit decimals separated by single commas, ended by
// CR LF, such as "1,0,-1500,32000\r\n".
std::string formatLine(std::span<const std::int16_t> values);

// Reads the first `fieldCount` fields of `text`. Blanks around a number are skipped, and a line
// end separates fields just as a comma does, so the fields may stand on several lines; anything
// after the last field wanted is ignored. A UTF-8 byte-order mark at the very start is skipped.
// Gives exactly the fields asked for, or what is wrong in words for the user.
files::Result<std::vector<std::int16_t>, std::string> parseLine(std::string_view text,
                                                                std::size_t fieldCount);
// As above, one field for each of `ranges`, each also within what its control takes; a value
// outside it, however large, is told against that range. `rest`, when given, is set to the text
// after the line holding the last field, from that line's end on.
files::Result<std::vector<std::int16_t>, std::string> parseLine(std::string_view text,
                                                                std::span<const FieldRange> ranges,
                                                                std::string_view* rest = nullptr);

} // namespace calmfield::persistence
