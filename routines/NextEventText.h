#pragma once

#include "routines/RoutineTimes.h"

#include <QString>

namespace calmfield::routines {

// The next event as the Routines window, the tray's tooltip and --routines tell it: "Next: 22:30
// tonight, night.clm", "Next: 07:00 tomorrow, night.clm ends", or "No routine is on." for none.
QString describeNextEvent(const std::optional<RoutineEvent>& event,
                          const std::vector<Routine>& routines, qint64 now, const QTimeZone& zone);

} // namespace calmfield::routines
