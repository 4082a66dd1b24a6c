#include "widgets/DialogFont.h"

namespace calmfield::widgets {
namespace {

constexpr int kPixelSize = 10;

} // namespace

QFont dialogFont(const QFont& systemFont) {
    QFont font = systemFont;
    font.setPixelSize(kPixelSize);
    font.setStretch(QFont::SemiCondensed);
    return font;
}

} // namespace calmfield::widgets
