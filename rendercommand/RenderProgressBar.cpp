#include "rendercommand/RenderProgressBar.h"

#include <cstdio>

namespace calmfield::rendercommand {
namespace {

constexpr int kBarWidth = 30;
constexpr std::chrono::milliseconds kRedraw{250};

// "1:05:09", or "5:09" under an hour.
std::string clockTime(std::uint64_t seconds) {
    char text[32];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%llu:%02llu:%02llu",
                      static_cast<unsigned long long>(seconds / 3600),
                      static_cast<unsigned long long>(seconds / 60 % 60),
                      static_cast<unsigned long long>(seconds % 60));
    else
        std::snprintf(text, sizeof text, "%llu:%02llu",
                      static_cast<unsigned long long>(seconds / 60),
                      static_cast<unsigned long long>(seconds % 60));
    return text;
}

} // namespace

std::string renderProgressLine(std::uint64_t framesDone, std::uint64_t framesTotal,
                               std::uint32_t rate, std::chrono::milliseconds elapsed) {
    const double share =
        framesTotal > 0 ? static_cast<double>(framesDone) / static_cast<double>(framesTotal) : 1.0;
    const int filled = static_cast<int>(share * kBarWidth);
    std::string line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(kBarWidth - filled), '-') + "] " +
                       clockTime(framesDone / rate) + " of " + clockTime(framesTotal / rate) +
                       " rendered, ";
    if (framesDone == 0 || elapsed < std::chrono::seconds{1})
        return line + "time left unknown";
    const double left = static_cast<double>(elapsed.count()) / 1000.0 *
                        static_cast<double>(framesTotal - framesDone) /
                        static_cast<double>(framesDone);
    return line + clockTime(static_cast<std::uint64_t>(left + 0.5)) + " left";
}

RenderProgressBar::RenderProgressBar(std::uint32_t rate, bool terminal)
    : rate_(rate), terminal_(terminal) {}

void RenderProgressBar::show(std::uint64_t framesDone, std::uint64_t framesTotal) {
    if (!terminal_)
        return;
    const Clock::time_point now = Clock::now();
    if (drawn_ && framesDone < framesTotal && now - lastDrawn_ < kRedraw)
        return;
    lastDrawn_ = now;
    drawn_ = true;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - start_);
    // Back to the line's start, and cleared to its end.
    std::fprintf(stderr, "\r%s\033[K",
                 renderProgressLine(framesDone, framesTotal, rate_, elapsed).c_str());
    std::fflush(stderr);
}

void RenderProgressBar::end() {
    if (drawn_)
        std::fputc('\n', stderr);
    drawn_ = false;
}

} // namespace calmfield::rendercommand
