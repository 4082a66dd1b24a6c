#pragma once

#include "player/MixPlayer.h"

#include <QString>

namespace calmfield::shell {

// "Calmfield", and whether the mix is paused and, while the sleep timer runs, how long is left:
// "Calmfield – paused, sleeps in 12 min" when both hold.
QString trayToolTip(const player::MixPlayer& player);

} // namespace calmfield::shell
