#include "engine/ChunkList.h"

#include "files/RegularFile.h"

#include <cstddef>
#include <string_view>

namespace calmfield::engine {
namespace {

bool readAt(int descriptor, std::uint64_t offset, unsigned char* into, std::size_t count) {
    return files::readAt(descriptor, offset, into, count) == count;
}

std::uint32_t number(const unsigned char* bytes, bool bigEndian) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | bytes[bigEndian ? i : 3 - i];
    return value;
}

std::uint64_t number64(const unsigned char* bytes) {
    return number(bytes, false) | std::uint64_t{number(bytes + 4, false)} << 32;
}

std::string_view text(const unsigned char* bytes) {
    return {reinterpret_cast<const char*>(bytes), 4};
}

// Chunks start on even offsets.
std::uint64_t padded(std::uint64_t size) {
    return size + (size & 1U);
}

struct Container {
    int descriptor;
    std::uint64_t fileSize;
    bool bigEndian = false;
    std::string_view dataName = "data";
    // An RF64 file gives its data chunk's size in its ds64 chunk.
    bool rf64 = false;
    std::uint64_t rf64DataSize = 0;
};

// The entries of a LIST chunk from `position` to `end`: the names that stand alone ("INFO",
// "adtl") and sub-chunks, each of which must end within the LIST chunk.
ChunkList checkListEntries(const Container& file, std::uint64_t position, std::uint64_t end) {
    while (position + 4 <= end) {
        unsigned char header[8];
        if (!readAt(file.descriptor, position, header, 4))
            return ChunkList::damaged;
        const std::string_view name = text(header);
        position += 4;
        if (name == "INFO" || name == "adtl")
            continue;
        if (name == file.dataName || number(header, false) == 0)
            return ChunkList::sound;
        if (position + 4 > end || !readAt(file.descriptor, position, header + 4, 4))
            return ChunkList::damaged;
        position += 4;
        const std::uint64_t size = padded(number(header + 4, file.bigEndian));
        if (size > end - position)
            return ChunkList::damaged;
        position += size;
    }
    return ChunkList::sound;
}

ChunkList checkChunks(Container& file) {
    std::uint64_t position = 12;
    while (position + 8 <= file.fileSize) {
        unsigned char header[8];
        if (!readAt(file.descriptor, position, header, sizeof header))
            return ChunkList::damaged;
        const std::string_view name = text(header);
        std::uint64_t size = number(header + 4, file.bigEndian);
        position += sizeof header;
        const std::uint64_t left = file.fileSize - position;
        if (name == file.dataName) {
            if (file.rf64 && size == 0xFFFFFFFFU)
                size = file.rf64DataSize;
            if (size > left)
                return ChunkList::cutShort;
        } else if (padded(size) > left) {
            return ChunkList::damaged;
        } else if (name == "ds64" && file.rf64 && size >= 16) {
            unsigned char sizes[16];
            if (!readAt(file.descriptor, position, sizes, sizeof sizes))
                return ChunkList::damaged;
            file.rf64DataSize = number64(sizes + 8);
        } else if (name == "LIST") {
            if (const ChunkList list = checkListEntries(file, position, position + size);
                list != ChunkList::sound)
                return list;
        }
        position += padded(size);
    }
    return ChunkList::sound;
}

} // namespace

ChunkList checkChunkList(int descriptor, std::uint64_t fileSize) {
    unsigned char header[12];
    if (!readAt(descriptor, 0, header, sizeof header))
        return ChunkList::sound;
    const std::string_view container = text(header);
    const std::string_view kind = text(header + 8);
    Container file{descriptor, fileSize};
    if ((container == "RIFF" || container == "RF64") && kind == "WAVE") {
        file.rf64 = container == "RF64";
    } else if (container == "RIFX" && kind == "WAVE") {
        file.bigEndian = true;
    } else if (container == "FORM" && (kind == "AIFF" || kind == "AIFC")) {
        file.bigEndian = true;
        file.dataName = "SSND";
    } else {
        return ChunkList::sound;
    }
    return checkChunks(file);
}

} // namespace calmfield::engine
