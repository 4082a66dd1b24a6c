#pragma once

namespace calmfield::shell {

// Shown when the speakers' volume cannot be opened at start-up.
inline constexpr char kMixerFailureMessage[] = "Couldn't open the mixer.";

// Shown when the sound device cannot be opened.
inline constexpr char kDeviceFailureMessage[] = "Error. Please check you have DirectX8 or later.";

} // namespace calmfield::shell
