#pragma once

#include "files/Result.h"

#include <QString>
#include <QStringList>

namespace calmfield::persistence {

// The configuration files the user loaded or saved last, newest first, each by its absolute path,
// none twice and no more than kLongest.
class RecentMixList {
  public:
    static constexpr qsizetype kLongest = 8;
    // Linux's longest path, in bytes; a longer one cannot name a file.
    static constexpr qsizetype kLongestPath = 4096;

    RecentMixList() = default;
    // Keeps the first kLongest distinct absolute paths of `paths`.
    explicit RecentMixList(const QStringList& paths);

    const QStringList& paths() const { return paths_; }
    bool isEmpty() const { return paths_.isEmpty(); }

    // Puts `absolutePath` first, taking it out from further down, and lets the oldest go.
    void add(const QString& absolutePath);
    void clear() { paths_.clear(); }

    bool operator==(const RecentMixList&) const = default;

  private:
    QStringList paths_;
};

// The list kept in `file`: one percent-encoded path a line. Empty when there is none, or when the
// file is damaged in any way: it is only a convenience, and is written anew at the next change.
RecentMixList readRecentMixes(const QString& file);

// Writes the list to `file`, replacing the old one only once the new one is complete. Gives what
// went wrong if it fails.
files::Result<files::Done, QString> writeRecentMixes(const QString& file,
                                                     const RecentMixList& list);

} // namespace calmfield::persistence
