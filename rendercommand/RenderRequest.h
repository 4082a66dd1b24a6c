#pragma once

#include <QString>

#include <chrono>
#include <cstdint>

namespace calmfield::rendercommand {

// What --render asks for: the mix rendered to a file, with no window and no sound server.
struct RenderRequest {
    QString file;
    std::chrono::seconds length{0};
    // The configuration file that holds the mix; when empty, the startup settings file.
    QString mixFile;
    std::uint32_t rate = 0;
    // Whether the listener's tone is left out (--flat).
    bool flat = false;
};

} // namespace calmfield::rendercommand
