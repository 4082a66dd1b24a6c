#include "sound/OutputChoice.h"

namespace calmfield::sound {
namespace {

constexpr std::string_view kPulseSocket = "/pulse/native";

// The runtime folder whose PulseAudio socket `address` names; empty when it names none.
std::string_view runtimeFolderOf(std::string_view address) {
    if (address.starts_with("unix:"))
        address.remove_prefix(5);
    if (!address.starts_with('/') || !address.ends_with(kPulseSocket))
        return {};
    return address.substr(0, address.size() - kPulseSocket.size());
}

} // namespace

OutputChoice chooseOutput(std::string_view serverName, std::string_view pulseAddress,
                          std::string_view runtimeFolder) {
    if (serverName.find("(on PipeWire") == std::string_view::npos)
        return {};
    const std::string_view folder =
        pulseAddress.empty() ? runtimeFolder : runtimeFolderOf(pulseAddress);
    if (folder.empty())
        return {};
    return {true, std::string(folder) + "/pipewire-0"};
}

} // namespace calmfield::sound
