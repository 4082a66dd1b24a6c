#include "persistence/LineFile.h"

#include "files/RegularFile.h"
#include "persistence/LineFormat.h"
#include "persistence/ReasonNotOpened.h"
#include "persistence/WholeFile.h"

#include <QFile>

#include <string>

namespace calmfield::persistence {
namespace {

// A line of the format takes well under a hundred bytes; blanks and line ends may pad it out,
// but a file larger than this is not one of ours.
constexpr std::size_t kLargestFileRead = 64 * 1024;

// The file's bytes given to `parse`, which reads them as parseLine does.
template <typename Parse>
auto readWith(const QString& path, Parse parse)
    -> files::Result<std::decay_t<decltype(parse(std::string()).value())>, QString> {
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

files::Result<LineFileContent, QString> readLineFileAndRest(const QString& path,
                                                            std::span<const FieldRange> ranges) {
    return readWith(
        path, [ranges](const std::string& bytes) -> files::Result<LineFileContent, std::string> {
            std::string_view rest;
            auto values = parseLine(bytes, ranges, &rest);
            if (!values.ok())
                return files::failure(values.reason());
            return LineFileContent{std::move(values.value()), std::string(rest)};
        });
}

files::Result<files::Done, QString>
writeLineFile(const QString& path, std::span<const std::int16_t> values, std::string_view after) {
    return writeWholeFile(path, formatLine(values) + std::string(after));
}

} // namespace calmfield::persistence
