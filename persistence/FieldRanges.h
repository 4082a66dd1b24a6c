#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace calmfield::persistence {

// The values one field's control takes: a check box its states, a slider its own minimum to
// maximum.
struct FieldRange {
    enum class Control { checkBox, slider };
    Control control;
    int minimum;
    int maximum;

    bool takes(long long value) const { return value >= minimum && value <= maximum; }
};

// Why field `number` (counted from 1), written as `written`, is refused, in words for the user:
// "number 7 (-4000) is outside what its slider takes (-3000 to 0)".
std::string outsideRange(std::size_t number, std::string_view written, const FieldRange& range);

} // namespace calmfield::persistence
