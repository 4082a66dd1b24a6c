#pragma once

#include "files/Result.h"

#include <QString>

namespace calmfield::session {

class NoiseSession;

// Loads the configuration file at `path`, named on the command line or by a later start, as Load
// does but without arming the start-in-tray timer. When it cannot, changing nothing, the failure
// is the Load's message.
files::Result<files::Done, QString> openMix(NoiseSession& session, const QString& path);

} // namespace calmfield::session
