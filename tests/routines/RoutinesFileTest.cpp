#include "routines/RoutinesFile.h"

#include <gtest/gtest.h>

namespace calmfield::routines {
namespace {

using namespace std::chrono_literals;

// Every form of every field, read and written back as the program writes it.
TEST(RoutinesFile, ReadsEveryFormOfEachField) {
    const RoutinesFile file = parseRoutines(
        QStringLiteral("daily 22:30 07:00 30s 30m /home/ann/night.clm\n"
                       "  mon-fri 6:40 07:30 20m 1m   /home/ann/my #1 morning.clm  \r\n"
                       "OFF sat,Sun 09:00 - 5m 0s -\n"
                       "fri-mon,wed 23:00 23:00 1h 90s -\n"));
    const auto routines = file.routines();
    ASSERT_EQ(routines.size(), 4u) << file.problems().join('\n').toStdString();
    EXPECT_EQ(routines[0], (Routine{true,
                                    {1, 1, 1, 1, 1, 1, 1},
                                    22 * 60 + 30,
                                    7 * 60,
                                    30s,
                                    30min,
                                    QStringLiteral("/home/ann/night.clm")}));
    EXPECT_EQ(routines[1].mix, QStringLiteral("/home/ann/my #1 morning.clm"));
    EXPECT_EQ(routines[1].startMinute, 6 * 60 + 40);
    EXPECT_EQ(routines[2], (Routine{false, {0, 0, 0, 0, 0, 1, 1}, 9 * 60, std::nullopt, 5min, 0s}));
    EXPECT_EQ(routines[3].days, (std::array<bool, 7>{1, 0, 1, 0, 1, 1, 1}));
    EXPECT_EQ(routines[3].fall, 90s);
    EXPECT_EQ(formatRoutines(file), "daily 22:30 07:00 30s 30m /home/ann/night.clm\n"
                                    "mon-fri 06:40 07:30 20m 1m /home/ann/my #1 morning.clm\n"
                                    "off sat,sun 09:00 - 5m 0s -\n"
                                    "mon,wed,fri-sun 23:00 23:00 1h 1m30s -\n");
}

// A line that cannot be read is told and left out; the window's writing keeps it and the comments
// in their places.
TEST(RoutinesFile, KeepsCommentsAndUnreadableLinesInTheirPlaces) {
    RoutinesFile file = parseRoutines(QStringLiteral("# days start end rise fall mix\n"
                                                     "daily 22:30 07:00 30s 30m -\n"
                                                     "\n"
                                                     "weekdays 07:00 - 0s 0s -\n"
                                                     "daily 25:00 - 0s 0s -\n"
                                                     "daily 07:00 - 2h 0s -\n"
                                                     "daily 07:00 -\n"
                                                     "mon 07:00 08:00 0s 0s\n"));
    EXPECT_EQ(file.routines().size(), 1u);
    const QStringList problems = file.problems();
    ASSERT_EQ(problems.size(), 5);
    EXPECT_TRUE(problems[0].startsWith(QStringLiteral("line 4: \"weekdays\" names no days")));
    EXPECT_TRUE(problems[1].contains(QStringLiteral("\"25:00\"")));
    EXPECT_TRUE(problems[2].contains(QStringLiteral("\"2h\"")));
    EXPECT_TRUE(problems[4].contains(QStringLiteral("names no mix")));

    Routine wake{.days = {1, 1, 1, 1, 1, 0, 0}, .startMinute = 400, .rise = 20min};
    file.replaceRoutines({wake, wake});
    EXPECT_EQ(formatRoutines(file), "# days start end rise fall mix\n"
                                    "mon-fri 06:40 - 20m 0s -\n"
                                    "\n"
                                    "weekdays 07:00 - 0s 0s -\n"
                                    "daily 25:00 - 0s 0s -\n"
                                    "daily 07:00 - 2h 0s -\n"
                                    "daily 07:00 -\n"
                                    "mon 07:00 08:00 0s 0s\n"
                                    "mon-fri 06:40 - 20m 0s -\n");
}

} // namespace
} // namespace calmfield::routines
