#pragma once

#include "player/RecentMixes.h"

#include <QMenu>

namespace calmfield::shell {

// "Recent Mixes": the list's files that still exist, newest first, each by its name with its
// folder in the tooltip, then "Clear Recent Mixes". Without any it is shown disabled. It is made
// anew each time the menu holding it opens, so that files removed meanwhile are left out.
class RecentMixesMenu : public QMenu {
    Q_OBJECT

  public:
    // `parent` is the menu that holds this one.
    RecentMixesMenu(player::RecentMixes& mixes, QMenu* parent);

    // Lists the files as they are now.
    void refresh();

  signals:
    // The user chose the configuration file at `path`.
    void mixChosen(const QString& path);

  private:
    player::RecentMixes& mixes_;
};

} // namespace calmfield::shell
