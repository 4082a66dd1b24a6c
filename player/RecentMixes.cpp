#include "player/RecentMixes.h"

#include "files/RegularFile.h"
#include "persistence/Mix.h"
#include "player/MixPlayer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace calmfield::player {
QString mixName(const QString& path) {
    QString name = QFileInfo(path).fileName();
    if (name.endsWith(QStringLiteral(".clm"), Qt::CaseInsensitive) && name.size() > 4)
        name.chop(4);
    return name;
}

RecentMixes::RecentMixes(MixPlayer& player, QString listFile, QObject* parent)
    : QObject(parent), player_(player), listFile_(std::move(listFile)),
      list_(listFile_.isEmpty() ? persistence::RecentMixList()
                                : persistence::readRecentMixes(listFile_)) {}

files::Result<files::Done, QString> RecentMixes::load(const QString& path) {
    const auto mix = persistence::readMix(path);
    if (!mix.ok())
        return files::failure(mix.reason());
    player_.load(mix.value());
    becomeCurrent(QFileInfo(path).absoluteFilePath(), true);
    return files::Done{};
}

void RecentMixes::saved(const QString& path) {
    becomeCurrent(QFileInfo(path).absoluteFilePath(), false);
}

void RecentMixes::becomeCurrent(const QString& path, bool loaded) {
    current_ = path;
    if (loaded)
        ++loads_;
    list_.add(path);
    if (!listFile_.isEmpty()) {
        QDir().mkpath(QFileInfo(listFile_).path());
        // The list only saves the user a file dialog: a list that cannot be written is not worth
        // a message.
        (void)persistence::writeRecentMixes(listFile_, list_);
    }
    emit changed();
}

QStringList RecentMixes::existing() const {
    QStringList found;
    for (const QString& path : list_.paths())
        if (files::isRegularFile(QFile::encodeName(path).constData()))
            found.append(path);
    return found;
}

bool RecentMixes::step(int direction) {
    const QStringList mixes = existing();
    const auto count = mixes.size();
    if (count < 2)
        return false;
    // Before the first when no mix of the list was loaded last, so that Next starts at the newest
    // and Previous at the oldest.
    qsizetype at = mixes.indexOf(current_);
    if (at < 0)
        at = direction > 0 ? -1 : count;
    for (qsizetype tried = 0; tried < count; ++tried) {
        at = (at + direction + count) % count;
        if (mixes[at] == current_)
            break;
        const auto mix = persistence::readMix(mixes[at]);
        if (!mix.ok())
            continue;
        player_.load(mix.value());
        current_ = mixes[at];
        ++loads_;
        emit changed();
        return true;
    }
    return false;
}

void RecentMixes::clear() {
    if (list_.isEmpty())
        return;
    list_.clear();
    if (!listFile_.isEmpty())
        (void)persistence::writeRecentMixes(listFile_, list_);
    emit changed();
}

} // namespace calmfield::player
