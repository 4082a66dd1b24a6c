#pragma once

#include "routines/Routine.h"

#include <QStringList>

namespace calmfield::routineswindow {

// A routine as a row of the list shows it: on or off, its days, start, end and mix.
QStringList routineColumns(const routines::Routine& routine);

} // namespace calmfield::routineswindow
