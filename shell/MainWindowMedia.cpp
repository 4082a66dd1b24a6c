// Pausing the mix, and what the desktop's media controls show of it: whether it plays, its name
// in words and a picture.

#include "files/RegularFile.h"
#include "files/StoredName.h"
#include "shell/MainWindow.h"
#include "widgets/ProgramTitle.h"

#include <QFile>

#include <algorithm>

namespace calmfield::shell {
namespace {

using platform::MediaPlayer;

// The program's icon as installed beside the program, relative to the program's folder.
const std::filesystem::path kInstalledIcon = std::filesystem::path("../../share/icons/hicolor/"
                                                                   "256x256/apps") /
                                             (CALMFIELD_APPLICATION_ID ".png");

QUrl urlOfFile(const std::filesystem::path& file) {
    if (!files::isRegularFile(file))
        return {};
    return QUrl::fromLocalFile(QFile::decodeName(file.lexically_normal().c_str()));
}

// "Brown Noise" names the colour "Brown".
QString colourName(const widgets::CheckBox* toggle) {
    QString caption = toggle->text();
    caption.remove(QLatin1Char('&'));
    const QString noise = QStringLiteral(" Noise");
    if (caption.endsWith(noise))
        caption.chop(noise.size());
    return caption;
}

} // namespace

void MainWindow::pause() {
    fader_.pause();
    announceMediaState();
}

void MainWindow::play() {
    fader_.play();
    announceMediaState();
}

void MainWindow::noteTicked(int colour, bool ticked) {
    std::erase(tickedColours_, colour);
    if (ticked) {
        tickedColours_.insert(tickedColours_.begin(), colour);
        // Ticking a colour on means wanting to hear it.
        fader_.play();
    }
    announceMediaState();
}

MediaPlayer::State MainWindow::mediaState() const {
    if (tickedColours_.empty())
        return {MediaPlayer::Status::Stopped, QString::fromLatin1(widgets::kProgramTitle),
                artUrl()};
    const auto boxes = toggles();
    QStringList names;
    for (const int colour : tickedColours_)
        names.append(colourName(boxes[static_cast<std::size_t>(colour)]));
    return {paused() ? MediaPlayer::Status::Paused : MediaPlayer::Status::Playing,
            names.join(QStringLiteral(" + ")) + QStringLiteral(" Noise"), artUrl()};
}

// The most recently ticked colour's picture, or else the program's icon.
QUrl MainWindow::artUrl() const {
    if (!tickedColours_.empty()) {
        const auto& colour =
            engine::kNoiseColours[static_cast<std::size_t>(tickedColours_.front())];
        const QUrl picture =
            urlOfFile(files::resolveStoredName(programFolder_, colour.pictureFile));
        if (!picture.isEmpty())
            return picture;
    }
    return urlOfFile(programFolder_ / kInstalledIcon);
}

void MainWindow::announceMediaState() {
    showTrayToolTip();
    emit mediaStateMayHaveChanged();
}

} // namespace calmfield::shell
