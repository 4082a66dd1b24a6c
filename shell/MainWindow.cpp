#include "shell/MainWindow.h"

#include "desktop/QtFileDialog.h"
#include "files/RegularFile.h"
#include "files/StoredName.h"
#include "player/ColourWords.h"
#include "session/Messages.h"
#include "shell/MainWindowLayoutTable.h"
#include "shell/Messages.h"
#include "shell/TrayIcon.h"
#include "widgets/Accessibility.h"
#include "widgets/PictureFile.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalBlocker>

#include <system_error>

namespace calmfield::shell {
namespace {

using engine::index;

// Shows `value` in a control without the control reporting it as the user's change.
template <typename Control> void mirror(Control* control, int value) {
    const QSignalBlocker quiet(control);
    control->setValue(value);
}

} // namespace

MainWindow::MainWindow(MainWindowServices services, QWidget* parent)
    : QMainWindow(parent), programFolder_(services.programFolder), messages_(services.messages),
      openUrl_(std::move(services.openUrl)), trayAvailable_(std::move(services.trayAvailable)),
      fileDialog_(services.fileDialog), player_(services.player),
      recentMixes_(services.recentMixes),
      minimisedWindowsStayReachable_(services.minimisedWindowsStayReachable),
      routinesLine_(std::move(services.routinesLine)), routineOn_(std::move(services.routineOn)),
      autostart_(desktop::AutostartEntry::forThisProgram(CALMFIELD_APPLICATION_ID)) {
    if (fileDialog_ == nullptr) {
        ownFileDialog_ = std::make_unique<desktop::QtFileDialog>(this, layout::kFileDialogName);
        fileDialog_ = ownFileDialog_.get();
    }
    buildWindow();
    forwardUserChanges();
    mirrorPlayer();
    connectCommands();
    connectSleepTimer();
}

void MainWindow::showAtStart() {
    addTrayIcon();
    show();
}

void MainWindow::armStartInTrayTimer() {
    if (player_.startInTray() == persistence::kOn)
        startInTrayTimer_->start();
}

void MainWindow::forwardUserChanges() {
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        connect(colourToggles_[index(colour)], &widgets::CheckBox::valueChanged, &player_,
                [this, colour](int state) { player_.setToggle(colour, state); });
        connect(volumeSliders_[index(colour)], &QAbstractSlider::valueChanged, &player_,
                [this, colour](int volume) { player_.setVolume(colour, volume); });
        connect(frequencySliders_[index(colour)], &QAbstractSlider::valueChanged, &player_,
                [this, colour](int hz) { player_.setFrequency(colour, hz); });
    }
    connect(panningSlider_, &QAbstractSlider::valueChanged, &player_,
            &player::MixPlayer::setPanning);
    connect(masterVolumeSlider_, &QAbstractSlider::valueChanged, &player_,
            &player::MixPlayer::setMasterVolume);
    connect(startInTrayBox_, &widgets::CheckBox::valueChanged, &player_,
            &player::MixPlayer::setStartInTray);
    connect(muteButton_, &QAbstractButton::clicked, &player_, &player::MixPlayer::toggleMute);
    connect(resetAllButton_, &QAbstractButton::clicked, &player_, &player::MixPlayer::resetAll);
}

void MainWindow::mirrorPlayer() {
    using player::MixPlayer;
    const persistence::Mix& mix = player_.mix();
    connect(&player_, &MixPlayer::toggleChanged, this, [this, &mix](int colour) {
        mirror(colourToggles_[index(colour)], mix.toggles[index(colour)]);
        showColourPicture(colour);
    });
    connect(&player_, &MixPlayer::volumeChanged, this, [this, &mix](int colour) {
        mirror(volumeSliders_[index(colour)], mix.volumes[index(colour)]);
    });
    connect(&player_, &MixPlayer::frequencyChanged, this, [this, &mix](int colour) {
        mirror(frequencySliders_[index(colour)], mix.frequencies[index(colour)]);
    });
    connect(&player_, &MixPlayer::channelFrequencyChanged, this, [this](int colour, int hz) {
        QLabel* readout = frequencyReadouts_[index(colour)];
        readout->setText(QString::number(hz));
        widgets::announceName(*readout, QStringLiteral("%1 noise playing at %2 hertz")
                                            .arg(player::colourName(index(colour)))
                                            .arg(hz));
    });
    connect(&player_, &MixPlayer::panningChanged, this,
            [this] { mirror(panningSlider_, player_.panning()); });
    connect(&player_, &MixPlayer::masterVolumeChanged, this,
            [this] { mirror(masterVolumeSlider_, player_.masterVolume()); });
    connect(&player_, &MixPlayer::muteChanged, this, [this] {
        const QSignalBlocker quiet(muteButton_);
        muteButton_->setChecked(player_.muted());
        showTrayToolTip();
    });
    connect(&player_, &MixPlayer::startInTrayChanged, this,
            [this] { mirror(startInTrayBox_, player_.startInTray()); });
    connect(&player_, &MixPlayer::mediaStateChanged, this, &MainWindow::showTrayToolTip);
}

void MainWindow::connectCommands() {
    connect(startInTrayTimer_, &QTimer::timeout, this, &MainWindow::startInTrayTimedOut);
    connect(loadAction_, &QAction::triggered, this, &MainWindow::loadClicked);
    connect(saveAction_, &QAction::triggered, this, &MainWindow::saveClicked);
    connect(recentMixesMenu_, &RecentMixesMenu::mixChosen, this, &MainWindow::recentMixChosen);
    connect(exitAction_, &QAction::triggered, this, &QWidget::close);
    connect(helpAction_, &QAction::triggered, this, &MainWindow::helpClicked);
    connect(contactAction_, &QAction::triggered, this, &MainWindow::contactRequested);
    connect(aboutAction_, &QAction::triggered, this, &MainWindow::aboutRequested);
    connect(toneAction_, &QAction::triggered, this, &MainWindow::toneRequested);
    connect(driftAction_, &QAction::triggered, this, &MainWindow::driftRequested);
    connect(routinesAction_, &QAction::triggered, this, &MainWindow::routinesRequested);
    connect(closeButton_, &QAbstractButton::clicked, this, &MainWindow::closeClicked);
    connect(trayButton_, &QAbstractButton::clicked, this, &MainWindow::trayClicked);
    connect(recordButton_, &QAbstractButton::clicked, this, &MainWindow::recorderRequested);
    startAtLoginAction_->setChecked(autostart_.exists());
    connect(startAtLoginAction_, &QAction::triggered, this, &MainWindow::startAtLoginToggled);
}

void MainWindow::startAtLoginToggled(bool ticked) {
    const auto changed = ticked ? autostart_.write() : autostart_.remove();
    startAtLoginAction_->setChecked(autostart_.exists());
    if (changed.ok())
        return;
    messages_.showMessage((ticked ? QStringLiteral("Calmfield cannot start at login: %1.")
                                  : QStringLiteral("Calmfield cannot stop starting at login: %1."))
                              .arg(QString::fromStdString(changed.reason())));
}

void MainWindow::showKeepAwakeRefused(bool refused) {
    keepAwakeAction_->setText(QString::fromUtf8(refused ? layout::kKeepAwakeRefusedCaption
                                                        : layout::kKeepAwakeItem.caption));
}

void MainWindow::showColourPicture(int colour) {
    const auto file =
        files::resolveStoredName(programFolder_, player::kColourPictures[index(colour)]);
    const QPixmap picture = widgets::pictureFromFile(file);
    colourPicture_->setPixmap(picture);
    widgets::announceName(*colourPicture_,
                          QStringLiteral("Colour picture: ") +
                              (picture.isNull() ? QStringLiteral("none")
                                                : player::colourName(index(colour)).toLower() +
                                                      QStringLiteral(" noise")));
}

void MainWindow::startInTrayTimedOut() {
    if (player_.startInTray() == persistence::kOn)
        hideToTray();
}

// The message comes first, while the window it speaks of is still in sight.
void MainWindow::trayClicked() {
    if (!noTrayExplained_ && !trayAvailable_()) {
        noTrayExplained_ = true;
        messages_.showMessage(QString::fromLatin1(kNoTrayMessage));
    }
    hideToTray();
}

void MainWindow::hideToTray() {
    if ((trayIcon_ && trayAvailable_()) || !minimisedWindowsStayReachable_)
        hide();
    else
        showMinimized();
}

void MainWindow::restoreWindow() {
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    show();
    raise();
    activateWindow();
}

// Without a tray no icon is made, as Qt's would only complain on a desktop without one; on X11 a
// tray that comes later is watched for.
void MainWindow::addTrayIcon() {
    if (!trayAvailable_()) {
        if (!trayWatch_) {
            trayWatch_ = std::make_unique<TrayHostWatch>();
            connect(trayWatch_.get(), &TrayHostWatch::trayMayHaveAppeared, this,
                    &MainWindow::trayMayHaveAppeared);
        }
        return;
    }
    trayIcon_ = std::make_unique<TrayIcon>(player_, *mainMenu_, routinesLine_, this);
    connect(trayIcon_.get(), &TrayIcon::showRequested, this, &MainWindow::restoreWindow);
    trayIcon_->show();
}

// Only while the watch runs: not before start-up, nor once the window has closed.
void MainWindow::trayMayHaveAppeared() {
    if (!trayIcon_ && trayWatch_)
        addTrayIcon();
}

void MainWindow::removeTrayIcon() {
    trayWatch_.reset();
    trayIcon_.reset();
}

void MainWindow::closeClicked() {
    removeTrayIcon();
    close();
}

void MainWindow::helpClicked() {
    const auto page = files::resolveStoredName(programFolder_, "\\help.htm");
    // Only a real page is handed to the desktop: a pipe or a device there would hold up the viewer.
    std::error_code error;
    if (std::filesystem::exists(page, error) && !files::isRegularFile(page))
        return;
    openUrl_(QUrl::fromLocalFile(QFile::decodeName(page.c_str())));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    removeTrayIcon();
    emit closed();
    event->accept();
}

// Configuration files: mixes the user saves and loads through the file dialog.
void MainWindow::prepareFileDialog() {
    fileDialog_->setFilter(QStringLiteral("Calmfield Files (*.clm)"), QStringLiteral("*.clm"));
    fileDialog_->setInitialFolder(configurationFolder());
}

// The program's folder, where the configuration files are kept, while it can be written; once
// installed, where it cannot, the folder of the newest recent mix, else the home folder.
QString MainWindow::configurationFolder() const {
    const QString programFolder = QFile::decodeName(programFolder_.c_str());
    if (QFileInfo(programFolder).isWritable())
        return programFolder;
    const QStringList recent = recentMixes_.existing();
    if (!recent.isEmpty())
        return QFileInfo(recent.constFirst()).absolutePath();
    return QDir::homePath();
}

void MainWindow::saveClicked() {
    prepareFileDialog();
    fileDialog_->showSave();
    const QString path = fileDialog_->chosenPath();
    if (path.isEmpty())
        return;
    const auto written = persistence::writeMix(path, player_.mix());
    if (!written.ok()) {
        messages_.showMessage(
            QStringLiteral("The configuration \"%1\" could not be saved: %2. No file was changed.")
                .arg(path, written.reason()));
        return;
    }
    recentMixes_.saved(path);
}

void MainWindow::loadClicked() {
    prepareFileDialog();
    fileDialog_->showOpen();
    const QString path = fileDialog_->chosenPath();
    if (path.isEmpty())
        return;
    recentMixChosen(path);
}

// As Load, from the list.
void MainWindow::recentMixChosen(const QString& path) {
    if (const auto loaded = recentMixes_.load(path); !loaded.ok()) {
        messages_.showMessage(
            session::messages::say(session::messages::kMixNotLoaded).arg(path, loaded.reason()));
        return;
    }
    armStartInTrayTimer();
}

void MainWindow::connectSleepTimer() {
    const player::SleepTimer& timer = player_.sleepTimer();
    connect(&timer, &player::SleepTimer::ticked, this, &MainWindow::showTrayToolTip);
}

void MainWindow::showTrayToolTip() {
    if (trayIcon_)
        trayIcon_->showToolTip();
}

void MainWindow::showRoutines() {
    showTrayToolTip();
    sleepMenu_->showTimeLeft();
}

} // namespace calmfield::shell
