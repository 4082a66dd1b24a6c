#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace calmfield::persistence {

// The values one field's control takes: a check box its states, a slider its own minimum to
// maximum.
struct FieldRange {
    enum class Control { checkBox, slider };
    Control control;
    int minimum;
    int maximum;
};

// What is wrong with the first value its control does not take, in words for the user, such as
// "number 7 (-4000) is outside what its slider takes (-3000 to 0)"; nothing when every value is
// taken. `values` and `ranges` run in the same field order.
std::optional<std::string> firstRefusedValue(std::span<const std::int16_t> values,
                                             std::span<const FieldRange> ranges);

} // namespace calmfield::persistence
