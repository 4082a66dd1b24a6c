#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace calmfield::rendercommand {

// The one line a render on a terminal keeps redrawing on standard error: a bar, the time of
// noise rendered out of the whole, and the time the render still needs at its pace so far.
std::string renderProgressLine(std::uint64_t framesDone, std::uint64_t framesTotal,
                               std::uint32_t rate, std::chrono::milliseconds elapsed);

// Draws the line on standard error when it is a terminal, at most a few times a second.
class RenderProgressBar {
  public:
    RenderProgressBar(std::uint32_t rate, bool terminal);

    void show(std::uint64_t framesDone, std::uint64_t framesTotal);
    // Ends the line, so that what is printed next starts on one of its own.
    void end();

  private:
    using Clock = std::chrono::steady_clock;
    std::uint32_t rate_;
    bool terminal_;
    bool drawn_ = false;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastDrawn_{};
};

} // namespace calmfield::rendercommand
