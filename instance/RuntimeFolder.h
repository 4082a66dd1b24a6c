#pragma once

#include <filesystem>
#include <optional>

namespace calmfield::instance {

// `folder` made if missing and kept private to this user: a real folder, not a link, owned by
// this user and open to nobody else. Empty when it cannot be trusted.
std::optional<std::filesystem::path> privateFolder(const std::filesystem::path& folder);

// The user's folder for the program's lock and socket: $XDG_RUNTIME_DIR when it is set and the
// user's own, made private when it does not exist yet, otherwise the private folder
// /tmp/calmfield-<uid>. Empty when neither can be used.
std::optional<std::filesystem::path> userRuntimeFolder();

} // namespace calmfield::instance
