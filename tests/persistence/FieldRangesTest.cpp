#include "persistence/FieldRanges.h"
#include "persistence/LineFormat.h"

#include <gtest/gtest.h>

#include <vector>

namespace calmfield::persistence {
namespace {

using Control = FieldRange::Control;

const std::vector<FieldRange> kRanges{
    {Control::checkBox, 0, 2},
    {Control::slider, -3000, 0},
    {Control::slider, 1000, 32767},
};

TEST(FieldRanges, TakesEveryValueWithinItsControlsRangeEndsIncluded) {
    for (const std::vector<std::int16_t>& values : {
             std::vector<std::int16_t>{0, -3000, 1000},
             std::vector<std::int16_t>{1, 0, 32767},
             std::vector<std::int16_t>{2, -1500, 22050},
         }) {
        EXPECT_EQ(parseLine(formatLine(values), kRanges).value(), values) << values[0];
    }
}

TEST(FieldRanges, NamesTheFirstRefusedFieldItsValueAndWhatItsControlTakes) {
    struct Case {
        const char* line;
        const char* reason;
    };
    for (const Case& c : {
             Case{"3,-3000,1000", "number 1 (3) is outside what its check box takes (0, 1 or 2)"},
             Case{"-1,1,0", "number 1 (-1) is outside what its check box takes (0, 1 or 2)"},
             Case{"0,-3001,0", "number 2 (-3001) is outside what its slider takes (-3000 to 0)"},
             Case{"0,1,1000", "number 2 (1) is outside what its slider takes (-3000 to 0)"},
             Case{"0,0,999", "number 3 (999) is outside what its slider takes (1000 to 32767)"},
             Case{"0,0,-32768",
                  "number 3 (-32768) is outside what its slider takes (1000 to 32767)"},
             // Beyond what the format's numbers hold, still told against the control's range.
             Case{"0,0,40000", "number 3 (40000) is outside what its slider takes (1000 to 32767)"},
             Case{"0,-99999999999999999999,1000", "number 2 (-99999999999999999999) is outside "
                                                  "what its slider takes (-3000 to 0)"},
         }) {
        EXPECT_EQ(parseLine(c.line, kRanges).reason(), c.reason);
    }
}

} // namespace
} // namespace calmfield::persistence
