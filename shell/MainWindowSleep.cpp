// The sleep timer's menu, its fade and its time left in the tray icon's tooltip.

#include "shell/MainWindow.h"
#include "shell/MainWindowLayoutTable.h"
#include "widgets/ProgramTitle.h"

namespace calmfield::shell {
namespace {

using namespace std::chrono_literals;

std::chrono::milliseconds durationOf(const QAction* item) {
    return std::chrono::milliseconds(item->data().toLongLong());
}

// Whole minutes or, in the last minute, whole seconds, rounded up: the tooltip never says less
// is left than is.
QString timeLeft(std::chrono::milliseconds left) {
    if (left > 1min)
        return QStringLiteral("%1 min").arg((left + 1min - 1ms) / 1min);
    return QStringLiteral("%1 s").arg((left + 1s - 1ms) / 1s);
}

} // namespace

void MainWindow::buildSleepMenu() {
    sleepMenu = mainMenu->addMenu(QString::fromLatin1(layout::kSleepMenu.caption));
    sleepMenu->setObjectName(QLatin1String(layout::kSleepMenu.name));
    for (const layout::SleepChoice& choice : layout::kSleepChoices) {
        QAction* item = sleepMenu->addAction(QString::fromLatin1(choice.caption));
        item->setCheckable(true);
        item->setData(static_cast<qlonglong>(
            std::chrono::duration_cast<std::chrono::milliseconds>(choice.duration).count()));
    }
    checkSleepItem(0ms);
}

void MainWindow::connectSleepTimer() {
    for (QAction* item : sleepMenu->actions())
        connect(item, &QAction::triggered, this, [this, item] { sleepItemChosen(item); });
    player::SleepTimer& timer = player_.sleepTimer();
    connect(&timer, &player::SleepTimer::ticked, this, &MainWindow::showTrayToolTip);
    connect(&timer, &player::SleepTimer::ended, this, [this] {
        checkSleepItem(0ms);
        emit sleepTimerEnded();
    });
}

void MainWindow::startSleepTimer(std::chrono::milliseconds duration) {
    checkSleepItem(duration);
    player_.sleepTimer().start(duration);
}

void MainWindow::sleepItemChosen(QAction* item) {
    const std::chrono::milliseconds duration = durationOf(item);
    if (duration > 0ms) {
        startSleepTimer(duration);
    } else {
        checkSleepItem(0ms);
        player_.sleepTimer().cancel();
    }
}

// Checks the item of `duration`, zero meaning "Off", and unchecks the others, the one just
// chosen included when it is not that one.
void MainWindow::checkSleepItem(std::chrono::milliseconds duration) {
    for (QAction* item : sleepMenu->actions())
        item->setChecked(durationOf(item) == duration);
}

// "Calmfield – paused, sleeps in 12 min": both when both hold.
QString MainWindow::trayToolTip() const {
    QStringList states;
    // A pause with nothing ticked is no pause to tell of.
    if (player_.paused() && !player_.tickedColours().empty())
        states.append(QStringLiteral("paused"));
    const player::SleepTimer& timer = player_.sleepTimer();
    if (timer.running())
        states.append(QStringLiteral("sleeps in %1").arg(timeLeft(timer.remaining())));
    const QString title = QString::fromLatin1(widgets::kProgramTitle);
    if (states.isEmpty())
        return title;
    return QStringLiteral("%1 \u2013 %2").arg(title, states.join(QStringLiteral(", ")));
}

void MainWindow::showTrayToolTip() {
    if (!trayIcon_)
        return;
    const QString text = trayToolTip();
    if (trayIcon_->toolTip() != text)
        trayIcon_->setToolTip(text);
}

} // namespace calmfield::shell
