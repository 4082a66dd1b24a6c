#include "app/RoutinesCommand.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace calmfield::app {
namespace {

struct Printed {
    int status;
    std::string output;
    std::string errors;
};

Printed listRoutinesIn(const std::filesystem::path& folder) {
    char* output = nullptr;
    char* errors = nullptr;
    std::size_t outputSize = 0, errorsSize = 0;
    std::FILE* outputStream = ::open_memstream(&output, &outputSize);
    std::FILE* errorsStream = ::open_memstream(&errors, &errorsSize);
    // Friday 2027-01-15 20:00 in universal time.
    const int status =
        listRoutines(folder, 1'800'043'200, QTimeZone::utc(), outputStream, errorsStream);
    std::fclose(outputStream);
    std::fclose(errorsStream);
    Printed printed{status, output, errors};
    std::free(output);
    std::free(errors);
    return printed;
}

// The routines and the next event; a line that cannot be read is named and fails the status.
TEST(RoutinesCommand, PrintsTheRoutinesAndTheNextEvent) {
    QTemporaryDir folder;
    const std::filesystem::path path = folder.path().toStdString();
    EXPECT_EQ(listRoutinesIn(path).output, "No routine is on.\n");
    std::ofstream(path / "routines") << "# ours\n"
                                        "mon-fri   06:40 07:30 20m 1m /home/ann/morning.clm\n"
                                        "daily 25:00 - 0s 0s -\n";
    const Printed printed = listRoutinesIn(path);
    EXPECT_EQ(printed.status, 1);
    EXPECT_EQ(printed.output, "mon-fri 06:40 07:30 20m 1m /home/ann/morning.clm\n"
                              "Next: 06:40 on Monday, morning.clm\n");
    EXPECT_NE(printed.errors.find("line 3: the start \"25:00\""), std::string::npos)
        << printed.errors;
}

} // namespace
} // namespace calmfield::app
