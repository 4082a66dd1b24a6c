#pragma once

#include "files/Result.h"
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
    // Creates the temporary file for `target`, or says why it cannot be made.
    static files::Result<std::unique_ptr<RenderedFile>, std::string>
    create(const std::filesystem::path& target, const RenderFormat& format, std::uint32_t rate);
    ~RenderedFile();
    RenderedFile(const RenderedFile&) = delete;
    RenderedFile& operator=(const RenderedFile&) = delete;

    // Appends interleaved stereo float frames, or says why they could not all be written.
    files::Result<files::Done, std::string> write(const float* interleavedStereo,
                                                  std::size_t frames);
    // Completes the file, flushes it to the disk and moves it onto the target, or says which of
    // that failed and why.
    files::Result<files::Done, std::string> finish();

  private:
    RenderedFile(std::filesystem::path target, std::filesystem::path temporary, int descriptor);
    files::Failure<std::string> failed(const std::string& what) const;
    // Closes the sound file and the descriptor; false when either reported an error.
    bool close();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int descriptor_;
    sf_private_tag* sound_ = nullptr;
    bool finished_ = false;
};

} // namespace calmfield::render
