#pragma once

#include <QFont>

namespace calmfield::widgets {

// The font of every window of the program: the system's own family, condensed and small enough
// for the captions to fit the places the windows give them.
QFont dialogFont(const QFont& systemFont);

} // namespace calmfield::widgets
