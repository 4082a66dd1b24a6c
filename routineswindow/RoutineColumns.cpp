#include "routineswindow/RoutineColumns.h"

#include "routines/RoutinesFile.h"

#include <QFileInfo>

namespace calmfield::routineswindow {

QStringList routineColumns(const routines::Routine& routine) {
    return {routine.on ? QStringLiteral("on") : QStringLiteral("off"),
            routines::formatDays(routine.days), routines::formatTime(routine.startMinute),
            routine.endMinute ? routines::formatTime(*routine.endMinute)
                              : QStringLiteral("until stopped"),
            routine.mix.isEmpty() ? QStringLiteral("the mix that plays")
                                  : QFileInfo(routine.mix).fileName()};
}

} // namespace calmfield::routineswindow
