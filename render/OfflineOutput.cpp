#include "render/OfflineOutput.h"

#include <algorithm>

namespace calmfield::render {

engine::OutputStart OfflineOutput::start(engine::AudioRenderer& renderer,
                                         std::chrono::milliseconds) {
    renderer_ = &renderer;
    return files::Done{};
}

void OfflineOutput::pull(float* interleavedStereo, std::size_t frames) {
    if (renderer_ == nullptr)
        std::fill_n(interleavedStereo, 2 * frames, 0.0f);
    else
        renderer_->render(interleavedStereo, frames, sampleRate_);
}

} // namespace calmfield::render
