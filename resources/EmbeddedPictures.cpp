#include "resources/EmbeddedPictures.h"

#include <QString>

namespace calmfield::resources {

QIcon programIcon() {
    QIcon icon;
    icon.addFile(QString::fromLatin1(kIcon16), QSize(16, 16));
    icon.addFile(QString::fromLatin1(kIcon32), QSize(32, 32));
    return icon;
}

} // namespace calmfield::resources
