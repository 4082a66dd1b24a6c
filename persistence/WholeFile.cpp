#include "persistence/WholeFile.h"

#include <QSaveFile>

namespace calmfield::persistence {

files::Result<files::Done, QString> writeWholeFile(const QString& path, std::string_view bytes) {
    QSaveFile file(path);
    // Unbuffered, so that a short write shows in write()'s count rather than being lost in a flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return files::failure(QStringLiteral("it cannot be created (%1)").arg(file.errorString()));
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size())) {
        file.cancelWriting();
        return files::failure(QStringLiteral("it cannot be written (%1)").arg(file.errorString()));
    }
    if (!file.commit())
        return files::failure(QStringLiteral("it cannot be written (%1)").arg(file.errorString()));
    return files::Done{};
}

} // namespace calmfield::persistence
