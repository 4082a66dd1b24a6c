#pragma once

#include <QPixmap>

#include <filesystem>

namespace calmfield::widgets {

// The picture in `file`; an empty one when the file is missing, unreadable, far larger than any
// picture of the program's, or something other than a regular file, which is never opened.
QPixmap pictureFromFile(const std::filesystem::path& file);

} // namespace calmfield::widgets
