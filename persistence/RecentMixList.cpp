#include "persistence/RecentMixList.h"

#include "files/RegularFile.h"

#include <QFile>
#include <QSaveFile>

#include <string>

namespace calmfield::persistence {
namespace {

// Every byte of a path percent-encoded, with its line end: the largest file of a whole list.
constexpr std::size_t kLargestFile =
    RecentMixList::kLongest * (3 * RecentMixList::kLongestPath + 1);

// A path this program can have written: absolute, short enough, and bytes that name the same
// file once taken into the program's text and back (which bytes that are not UTF-8 do not).
bool isUsablePath(const QByteArray& path) {
    return path.startsWith('/') && path.size() <= RecentMixList::kLongestPath &&
           !path.contains('\0') && QFile::encodeName(QFile::decodeName(path)) == path;
}

} // namespace

RecentMixList::RecentMixList(const QStringList& paths) {
    for (auto path = paths.crbegin(); path != paths.crend(); ++path)
        add(*path);
}

void RecentMixList::add(const QString& absolutePath) {
    paths_.removeAll(absolutePath);
    paths_.prepend(absolutePath);
    while (paths_.size() > kLongest)
        paths_.removeLast();
}

RecentMixList readRecentMixes(const QString& file) {
    files::RegularFile opened = files::RegularFile::open(QFile::encodeName(file).constData());
    std::string bytes;
    if (!opened.isOpen() || !opened.readUpTo(kLargestFile + 1, bytes) ||
        bytes.size() > kLargestFile)
        return {};
    const QList<QByteArray> lines = QByteArray::fromStdString(bytes).split('\n');
    // The last line ends the file with its line end, leaving nothing after it.
    if (!lines.constLast().isEmpty() || lines.size() - 1 > RecentMixList::kLongest)
        return {};
    QStringList paths;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QByteArray path = QByteArray::fromPercentEncoding(lines[i]);
        if (!isUsablePath(path) || QByteArray(path).toPercentEncoding("/") != lines[i])
            return {};
        paths.append(QFile::decodeName(path));
    }
    if (paths.size() != RecentMixList(paths).paths().size())
        return {};
    return RecentMixList(paths);
}

files::Result<files::Done, QString> writeRecentMixes(const QString& file,
                                                     const RecentMixList& list) {
    QByteArray content;
    for (const QString& path : list.paths())
        content += QFile::encodeName(path).toPercentEncoding("/") + '\n';
    QSaveFile saved(file);
    if (!saved.open(QIODevice::WriteOnly))
        return files::failure(QStringLiteral("it cannot be created (%1)").arg(saved.errorString()));
    if (saved.write(content) != content.size() || !saved.commit())
        return files::failure(QStringLiteral("it cannot be written (%1)").arg(saved.errorString()));
    return files::Done{};
}

} // namespace calmfield::persistence
