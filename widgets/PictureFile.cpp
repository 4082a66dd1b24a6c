#include "widgets/PictureFile.h"

#include "files/RegularFile.h"

#include <string>

namespace calmfield::widgets {
namespace {

// The program's pictures are a few kilobytes; anything this large is not one of them.
constexpr std::size_t kLargestPicture = 16 << 20;

} // namespace

QPixmap pictureFromFile(const std::filesystem::path& file) {
    files::RegularFile opened = files::RegularFile::open(file);
    std::string bytes;
    QPixmap picture;
    if (opened.isOpen() && opened.size() <= kLargestPicture &&
        opened.readUpTo(kLargestPicture, bytes))
        picture.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                             static_cast<uint>(bytes.size()));
    return picture;
}

} // namespace calmfield::widgets
