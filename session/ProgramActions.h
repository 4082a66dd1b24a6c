#pragma once

#include <functional>

namespace calmfield::session {

// What the media controls' Raise and Quit do: bring the program's windows forward, where it has
// any, and end the program as Exit does.
struct ProgramActions {
    std::function<void()> raise; // null for a program without windows
    std::function<void()> quit;
};

} // namespace calmfield::session
