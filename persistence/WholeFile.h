#pragma once

#include "files/Result.h"

#include <QString>

#include <string_view>

namespace calmfield::persistence {

// Writes `bytes` as the whole file at `path`. The old file is replaced only once the new one is
// complete, so a failed write leaves it as it was. Gives what went wrong in words for the user.
files::Result<files::Done, QString> writeWholeFile(const QString& path, std::string_view bytes);

} // namespace calmfield::persistence
