#include "engine/DataChunk.h"

#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <string_view>

namespace calmfield::engine {
namespace {

// Enough for any real file's chunks before its sound data; a damaged file may claim any number.
constexpr int kMostChunksBeforeData = 1000;

bool readAt(int descriptor, std::uint64_t offset, unsigned char* into, std::size_t count) {
    while (count > 0) {
        const ssize_t read = ::pread(descriptor, into, count, static_cast<off_t>(offset));
        if (read < 0 && errno == EINTR)
            continue;
        if (read <= 0)
            return false;
        into += read;
        count -= static_cast<std::size_t>(read);
        offset += static_cast<std::uint64_t>(read);
    }
    return true;
}

std::uint32_t number(const unsigned char* bytes, bool bigEndian) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | bytes[bigEndian ? i : 3 - i];
    return value;
}

std::string_view text(const unsigned char* bytes) {
    return {reinterpret_cast<const char*>(bytes), 4};
}

} // namespace

bool dataChunkRunsPastEnd(int descriptor, std::uint64_t fileSize) {
    unsigned char header[12];
    if (!readAt(descriptor, 0, header, sizeof header))
        return false;
    const std::string_view container = text(header);
    const std::string_view kind = text(header + 8);
    bool bigEndian = true;
    std::string_view dataName = "data";
    if (container == "RIFF" && kind == "WAVE") {
        bigEndian = false;
    } else if (container == "FORM" && (kind == "AIFF" || kind == "AIFC")) {
        dataName = "SSND";
    } else if (container != "RIFX" || kind != "WAVE") {
        return false;
    }

    std::uint64_t position = sizeof header;
    for (int chunk = 0; chunk < kMostChunksBeforeData && position + 8 <= fileSize; ++chunk) {
        unsigned char chunkHeader[8];
        if (!readAt(descriptor, position, chunkHeader, sizeof chunkHeader))
            return false;
        const std::uint32_t size = number(chunkHeader + 4, bigEndian);
        position += sizeof chunkHeader;
        if (text(chunkHeader) == dataName)
            return size > fileSize - position;
        position += size + (size & 1U); // chunks start on even offsets
    }
    return false;
}

} // namespace calmfield::engine
