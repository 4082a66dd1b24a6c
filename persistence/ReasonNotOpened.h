#pragma once

#include "files/RegularFile.h"

namespace calmfield::persistence {

// Why a file could not be opened, in words that fit into a sentence to the user.
const char* reasonNotOpened(files::RegularFile::Failure failure);

} // namespace calmfield::persistence
