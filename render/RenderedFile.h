#pragma once

#include "render/RenderFormat.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

struct sf_private_tag;

namespace calmfield::render {

// A sound file written under a temporary name beside its target and moved into place only once
// it is complete, so that the target never holds part of a render. Unless finished, the
// temporary file is removed when this is destroyed.
class RenderedFile {
  public:
    // Creates the temporary file for `target`. Gives null and says why when it cannot be made.
    static std::unique_ptr<RenderedFile> create(const std::filesystem::path& target,
                                                const RenderFormat& format, std::uint32_t rate,
                                                std::string& error);
    ~RenderedFile();
    RenderedFile(const RenderedFile&) = delete;
    RenderedFile& operator=(const RenderedFile&) = delete;

    // Appends interleaved stereo float frames; false, with error() saying why, when they could
    // not all be written.
    bool write(const float* interleavedStereo, std::size_t frames);
    // Completes the file, flushes it to the disk and moves it onto the target; false, with
    // error() saying why, when any of that failed.
    bool finish();

    const std::string& error() const { return error_; }
    const std::filesystem::path& temporaryPath() const { return temporary_; }

  private:
    RenderedFile(std::filesystem::path target, std::filesystem::path temporary, int descriptor);
    void fail(const std::string& what);
    // Closes the sound file and the descriptor; false when either reported an error.
    bool close();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int descriptor_;
    sf_private_tag* sound_ = nullptr;
    bool finished_ = false;
    std::string error_;
};

} // namespace calmfield::render
