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

// A sound file written unseen beside its target and moved into place only once it is complete,
// so that the target never holds part of a render. Where the file system allows, the file has no
// name until then, so that a render killed on the way leaves nothing behind; elsewhere it is
// written under a hidden part-file name, and part files that killed renders of the same target
// left are removed first. A target that is a link is written through, replacing the file it
// names, and an existing target's permissions are kept. Unless finished, what was written is
// removed when this is destroyed.
class RenderedFile {
  public:
    // Creates the file for `target`, or says why it cannot be made.
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
    RenderedFile(std::filesystem::path target, std::filesystem::path destination);
    files::Failure<std::string> failed(const std::string& what) const;
    // Gives the unnamed file a hidden name beside the destination; errno's reason on failure.
    int linkUnnamed();
    // Closes the sound file and the descriptor; false when either reported an error.
    bool close();

    // As the user gave it, for messages.
    std::filesystem::path target_;
    // The file that is replaced: the target with its links followed.
    std::filesystem::path destination_;
    // Empty while the file has no name.
    std::filesystem::path temporary_;
    int descriptor_ = -1;
    sf_private_tag* sound_ = nullptr;
    bool finished_ = false;
};

} // namespace calmfield::render
