#pragma once

#include "player/MixPlayer.h"

#include <QString>

namespace calmfield::shell {

// "Calmfield", and whether the mix is paused and, while the sleep timer runs, how long is left:
// "Calmfield – paused, sleeps in 12 min" when both hold. Under it `routinesLine`, the next start
// or end of a routine when one is to come, and while Mute holds, that the routine is silent.
QString trayToolTip(const player::MixPlayer& player, const QString& routinesLine = {});

} // namespace calmfield::shell
