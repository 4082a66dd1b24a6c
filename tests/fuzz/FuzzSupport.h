#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>

namespace calmfield::fuzzing {

// Stops the run as a crash, naming the property the input broke, so that libFuzzer keeps the
// input.
inline void require(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "Property broken: %s\n", property);
        std::abort();
    }
}

// A private folder for the files one target writes, removed when the run ends.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::error_code error;
        std::string pattern =
            (std::filesystem::temp_directory_path(error) / "calmfield-fuzz-XXXXXX").string();
        require(::mkdtemp(pattern.data()) != nullptr, "a scratch folder can be made");
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Writes `size` bytes as the file `name` in the folder; its path.
    std::filesystem::path write(const char* name, const std::uint8_t* data,
                                std::size_t size) const {
        const auto file = path_ / name;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        out.close();
        require(out.good(), "the scratch file can be written");
        return file;
    }

  private:
    std::filesystem::path path_;
};

} // namespace calmfield::fuzzing
