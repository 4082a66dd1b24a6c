#pragma once

#include <filesystem>
#include <optional>

namespace calmfield::instance {

// `folder` made if missing and kept private to this user: a real folder, not a link, owned by
// this user and open to nobody else. Empty when it cannot be trusted.
std::optional<std::filesystem::path> privateFolder(const std::filesystem::path& folder);

// The name of the program's socket in its runtime folder.
inline constexpr char kSocketName[] = "calmfield.socket";

// The user's folder for the program's lock and socket: $XDG_RUNTIME_DIR when it is set, the
// user's own and short enough for a socket's address, made private when it does not exist yet;
// otherwise the private folder /tmp/calmfield-<uid>. Empty when neither can be used.
std::optional<std::filesystem::path> userRuntimeFolder();

} // namespace calmfield::instance
