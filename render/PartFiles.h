#pragma once

#include <filesystem>
#include <sys/types.h>

namespace calmfield::render {

// The hidden name beside `target` under which process `pid` writes or links a render of it
// before renaming it into place: ".night.flac.1234-0.part" for its `attempt`-th try.
std::filesystem::path partFileName(const std::filesystem::path& target, pid_t pid, int attempt);

// Removes the part files of `target` left by renders that were killed before they could clean
// up: those named exactly as partFileName names them whose process is no longer a running copy
// of this program. A file whose process cannot be told apart is left.
void removeStalePartFiles(const std::filesystem::path& target);

} // namespace calmfield::render
