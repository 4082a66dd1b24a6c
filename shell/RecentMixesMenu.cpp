#include "shell/RecentMixesMenu.h"

#include <QDir>
#include <QFileInfo>

namespace calmfield::shell {
namespace {

// A caption shows '&' itself rather than taking it as the mark of a shortcut.
QString literalCaption(QString text) {
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString folderOf(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).path());
}

} // namespace

RecentMixesMenu::RecentMixesMenu(player::RecentMixes& mixes, QMenu* parent)
    : QMenu(QStringLiteral("Recent Mixes"), parent), mixes_(mixes) {
    setObjectName(QStringLiteral("recentMixesMenu"));
    connect(parent, &QMenu::aboutToShow, this, &RecentMixesMenu::refresh);
    // Later, as a change may come from one of this menu's own items, which are remade.
    connect(&mixes_, &player::RecentMixes::changed, this, &RecentMixesMenu::refresh,
            Qt::QueuedConnection);
    refresh();
}

void RecentMixesMenu::refresh() {
    clear();
    const QStringList paths = mixes_.existing();
    QStringList names;
    for (const QString& path : paths)
        names.append(player::mixName(path));
    for (qsizetype i = 0; i < paths.size(); ++i) {
        QString caption = names[i];
        // Two of the same name are told apart by their folders.
        if (names.count(names[i]) > 1)
            caption += QStringLiteral(" (%1)").arg(folderOf(paths[i]));
        QAction* item = addAction(literalCaption(caption));
        item->setToolTip(folderOf(paths[i]));
        connect(item, &QAction::triggered, this, [this, path = paths[i]] { emit mixChosen(path); });
    }
    addSeparator();
    QAction* clearItem = addAction(QStringLiteral("Clear Recent Mixes"));
    clearItem->setObjectName(QStringLiteral("clearRecentMixes"));
    connect(clearItem, &QAction::triggered, &mixes_, &player::RecentMixes::clear);
    setToolTipsVisible(true);
    menuAction()->setEnabled(!paths.isEmpty());
}

} // namespace calmfield::shell
