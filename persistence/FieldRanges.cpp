#include "persistence/FieldRanges.h"

#include <algorithm>

namespace calmfield::persistence {
namespace {

// "0, 1 or 2" for a few values, "-3000 to 0" for more.
std::string describe(const FieldRange& range) {
    if (range.maximum - range.minimum > 2)
        return std::to_string(range.minimum) + " to " + std::to_string(range.maximum);
    std::string text = std::to_string(range.minimum);
    for (int value = range.minimum + 1; value <= range.maximum; ++value)
        text += (value == range.maximum ? " or " : ", ") + std::to_string(value);
    return text;
}

} // namespace

std::optional<std::string> firstRefusedValue(std::span<const std::int16_t> values,
                                             std::span<const FieldRange> ranges) {
    const std::size_t count = std::min(values.size(), ranges.size());
    for (std::size_t i = 0; i < count; ++i) {
        const FieldRange& range = ranges[i];
        if (values[i] >= range.minimum && values[i] <= range.maximum)
            continue;
        const char* control =
            range.control == FieldRange::Control::checkBox ? "check box" : "slider";
        return "number " + std::to_string(i + 1) + " (" + std::to_string(values[i]) +
               ") is outside what its " + control + " takes (" + describe(range) + ")";
    }
    return std::nullopt;
}

} // namespace calmfield::persistence
