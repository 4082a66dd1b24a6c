#include "persistence/LineFile.h"

#include "files/RegularFile.h"
#include "persistence/LineFormat.h"
#include "persistence/ReasonNotOpened.h"

#include <QFile>
#include <QSaveFile>

#include <string>

namespace calmfield::persistence {
namespace {

// A line of the format takes well under a hundred bytes; blanks and line ends may pad it out,
// but a file larger than this is not one of ours.
constexpr std::size_t kLargestFileRead = 64 * 1024;

// The file's bytes given to `parse`, which reads them as parseLine does.
template <typename Parse>
files::Result<std::vector<std::int16_t>, QString> readWith(const QString& path, Parse parse) {
    files::RegularFile file = files::RegularFile::open(QFile::encodeName(path).constData());
    if (!file.isOpen())
        return files::failure(QString::fromUtf8(reasonNotOpened(file.failure())));
    std::string bytes;
    if (!file.readUpTo(kLargestFileRead, bytes))
        return files::failure(QStringLiteral("it cannot be read"));
    auto parsed = parse(bytes);
    if (!parsed.ok())
        return files::failure(QString::fromStdString(parsed.reason()));
    return std::move(parsed.value());
}

} // namespace

files::Result<std::vector<std::int16_t>, QString> readLineFile(const QString& path,
                                                               std::size_t fieldCount) {
    return readWith(
        path, [fieldCount](const std::string& bytes) { return parseLine(bytes, fieldCount); });
}

files::Result<std::vector<std::int16_t>, QString> readLineFile(const QString& path,
                                                               std::span<const FieldRange> ranges) {
    return readWith(path, [ranges](const std::string& bytes) { return parseLine(bytes, ranges); });
}

files::Result<files::Done, QString> writeLineFile(const QString& path,
                                                  std::span<const std::int16_t> values) {
    const std::string line = formatLine(values);
    QSaveFile file(path);
    // Unbuffered, so that a short write shows in write()'s count rather than being lost in a flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return files::failure(QStringLiteral("it cannot be created (%1)").arg(file.errorString()));
    if (file.write(line.data(), static_cast<qint64>(line.size())) !=
        static_cast<qint64>(line.size())) {
        file.cancelWriting();
        return files::failure(QStringLiteral("it cannot be written (%1)").arg(file.errorString()));
    }
    if (!file.commit())
        return files::failure(QStringLiteral("it cannot be written (%1)").arg(file.errorString()));
    return files::Done{};
}

} // namespace calmfield::persistence
