#pragma once

#include "engine/AudioRenderer.h"
#include "files/Result.h"

#include <chrono>
#include <string>

namespace calmfield::engine {

// Whether a device opened, or why not in the sound server's own words, such as "Connection
// refused" (empty when it gave none).
using OutputStart = files::Result<files::Done, std::string>;

// A playback device that pulls stereo float audio from one renderer.
class SoundOutput {
  public:
    virtual ~SoundOutput() = default;

    // Starts pulling audio from `renderer`, which must outlive the output or a call to stop().
    // Waits at most `timeout` for the device.
    virtual OutputStart start(AudioRenderer& renderer, std::chrono::milliseconds timeout) = 0;

    // After this returns, the renderer is no longer called.
    virtual void stop() = 0;

    // What the renderer plays has changed: an output that stopped asking its idle renderer for
    // audio asks again, and one that holds much audio queued replaces it, so that the change is
    // heard at once. Called from any thread but the audio thread; never waits for the device.
    virtual void wake() = 0;
};

} // namespace calmfield::engine
