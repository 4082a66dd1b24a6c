#include "recorder/windows/RecorderReadouts.h"
#include "QtPrinting.h"

#include <gtest/gtest.h>

namespace calmfield {
namespace {

using recorder::elapsedText;
using recorder::informationText;
using recorder::sizeFigure;

TEST(SizeFigure, IsExactMegabytesWithoutLeadingOrTrailingZeros) {
    EXPECT_EQ(sizeFigure(0), " 0");
    EXPECT_EQ(sizeFigure(88200), " .0882");
    EXPECT_EQ(sizeFigure(1234567), " 1.234567");
    EXPECT_EQ(sizeFigure(3000000), " 3");
    EXPECT_EQ(sizeFigure(12000001), " 12.000001");
    EXPECT_EQ(sizeFigure(50), " .00005");
}

TEST(InformationText, GivesBothLinesForAByteCountAndNothingForAnythingElse) {
    EXPECT_EQ(informationText("88200"), "MBytes :  .0882\r\nChannels : 2 (stereo)\r\n");
    for (const char* reply : {"", "stopped", "12 bytes", "-5", " 7"})
        EXPECT_FALSE(informationText(reply).has_value()) << reply;
}

TEST(ElapsedText, CountsWholeSecondsAndWrapsAfterADay) {
    const QDateTime start(QDate(2024, 5, 1), QTime(23, 59, 58, 900));
    EXPECT_EQ(elapsedText(start, start), "00:00:00");
    EXPECT_EQ(elapsedText(start, start.addMSecs(200)), "00:00:01") << "the seconds ticked over";
    EXPECT_EQ(elapsedText(start, start.addSecs(3725)), "01:02:05");
    EXPECT_EQ(elapsedText(start, start.addDays(1).addSecs(3)), "00:00:03");
}

} // namespace
} // namespace calmfield
