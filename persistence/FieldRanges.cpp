#include "persistence/FieldRanges.h"

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

std::string outsideRange(std::size_t number, std::string_view written, const FieldRange& range) {
    const char* control = range.control == FieldRange::Control::checkBox ? "check box" : "slider";
    return "number " + std::to_string(number) + " (" + std::string(written) +
           ") is outside what its " + control + " takes (" + describe(range) + ")";
}

} // namespace calmfield::persistence
