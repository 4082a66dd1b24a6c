// The sleep timer's duration, as typed after --sleep or handed over by a later start.

#include "instance/SleepDuration.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace calmfield;
using namespace calmfield::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto duration = instance::readSleepDuration(text);
    if (!duration)
        return 0;
    require(*duration >= instance::kShortestSleep && *duration <= instance::kLongestSleep,
            "a duration read lies within the sleep timer's range");

    // Written out in hours, minutes and seconds, in either letter case and with blanks around,
    // the duration reads the same.
    const auto seconds = duration->count();
    const QString spelled =
        QStringLiteral(" %1H%2m%3S\t").arg(seconds / 3600).arg(seconds / 60 % 60).arg(seconds % 60);
    require(instance::readSleepDuration(spelled) == duration,
            "a duration read is read the same in hours, minutes and seconds");
    if (seconds % 60 == 0)
        require(instance::readSleepDuration(QString::number(seconds / 60)) == duration,
                "a whole number of minutes reads the same as a plain number");
    return 0;
}
