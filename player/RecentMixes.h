#pragma once

#include "files/Result.h"
#include "persistence/RecentMixList.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace calmfield::player {

class MixPlayer;

// A configuration file as the user knows it: its name without ".clm".
QString mixName(const QString& path);

// The configuration files the user reaches again without a file dialog: loading one into the
// player as Load does, the list of those loaded or saved last (kept in a file of its own), and
// Next and Previous, which step along that list from the mix loaded last without reordering it.
class RecentMixes : public QObject {
    Q_OBJECT

  public:
    // `listFile` keeps the list from one run to the next; empty keeps it only for this run.
    RecentMixes(MixPlayer& player, QString listFile, QObject* parent = nullptr);

    // Loads the configuration file at `path` into the player and puts it first in the list, or
    // says why it cannot, in the Load's words, changing nothing.
    files::Result<files::Done, QString> load(const QString& path);
    // Puts the configuration file just saved at `path` first in the list.
    void saved(const QString& path);

    // The list's files that exist, newest first.
    QStringList existing() const;
    // Whether Next and Previous have another mix to go to.
    bool canStep() const { return existing().size() >= 2; }
    // Loads the next older mix of the list than the one loaded last, after the oldest the newest;
    // or the next newer. Files that no longer load are passed over without a word. False when
    // none loaded.
    bool next() { return step(1); }
    bool previous() { return step(-1); }

    void clear();

    // The name of the mix loaded or saved last in this run; empty until one is.
    QString currentName() const { return current_.isEmpty() ? QString() : mixName(current_); }
    // Counts the mixes loaded from files in this run.
    int loads() const { return loads_; }

  signals:
    // The list, the mix loaded last or the count of loads has changed.
    void changed();

  private:
    bool step(int direction);
    void becomeCurrent(const QString& path, bool loaded);

    MixPlayer& player_;
    QString listFile_;
    persistence::RecentMixList list_;
    QString current_;
    int loads_ = 0;
};

} // namespace calmfield::player
