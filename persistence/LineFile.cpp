#include "persistence/LineFile.h"

#include "persistence/LineFormat.h"

#include <QFile>
#include <QSaveFile>

namespace calmfield::persistence {
namespace {

// A line of the format takes well under a hundred bytes; blanks and line ends may pad it out,
// but a file larger than this is not one of ours.
constexpr qint64 kLargestFileRead = 64 * 1024;

} // namespace

LineFileContent readLineFile(const QString& path, std::size_t fieldCount) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("it cannot be opened (%1)").arg(file.errorString())};
    const QByteArray bytes = file.read(kLargestFileRead);
    if (file.error() != QFileDevice::NoError)
        return {{}, QStringLiteral("it cannot be read (%1)").arg(file.errorString())};
    ParsedLine parsed = parseLine(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), fieldCount);
    return {std::move(parsed.values), QString::fromStdString(parsed.error)};
}

QString writeLineFile(const QString& path, std::span<const std::int16_t> values) {
    const std::string line = formatLine(values);
    QSaveFile file(path);
    // Unbuffered, so that a short write shows in write()'s count rather than being lost in a flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return QStringLiteral("it cannot be created (%1)").arg(file.errorString());
    if (file.write(line.data(), static_cast<qint64>(line.size())) !=
        static_cast<qint64>(line.size())) {
        file.cancelWriting();
        return QStringLiteral("it cannot be written (%1)").arg(file.errorString());
    }
    if (!file.commit())
        return QStringLiteral("it cannot be written (%1)").arg(file.errorString());
    return {};
}

} // namespace calmfield::persistence
