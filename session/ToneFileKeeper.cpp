#include "session/ToneFileKeeper.h"

#include "persistence/ToneFile.h"
#include "player/MixPlayer.h"
#include "session/MessageSink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <system_error>

namespace calmfield::session {

ToneFileKeeper::ToneFileKeeper(player::MixPlayer& player, const std::filesystem::path& userFolder,
                               session::MessageSink& messages, QObject* parent)
    : QObject(parent), player_(player), messages_(messages) {
    if (userFolder.empty())
        return;
    file_ = QFile::decodeName((userFolder / persistence::kToneFileName).c_str());
    read();
    writeDelay_.setSingleShot(true);
    writeDelay_.setInterval(kWriteDelay);
    connect(&writeDelay_, &QTimer::timeout, this, [this] { write(true); });
    connect(&player_, &player::MixPlayer::toneChanged, &writeDelay_, qOverload<>(&QTimer::start));
}

ToneFileKeeper::~ToneFileKeeper() {
    if (writeDelay_.isActive())
        write(false);
}

void ToneFileKeeper::writePending() {
    if (writeDelay_.isActive())
        write(true);
}

void ToneFileKeeper::read() {
    using Kind = persistence::ToneFileFailure::Kind;
    const auto tone = persistence::readToneFile(file_);
    if (tone.ok()) {
        player_.setTone(tone.value());
        return;
    }
    const auto& failure = tone.reason();
    if (failure.kind == Kind::missing)
        return;
    QString text;
    if (failure.kind == Kind::unreadable) {
        text = QStringLiteral("Calmfield could not read the tone kept in \"%1\": %2. It plays "
                              "with a flat tone.")
                   .arg(file_, failure.reason);
    } else {
        const QString aside = file_ + QStringLiteral(".damaged");
        std::error_code error;
        std::filesystem::rename(QFile::encodeName(file_).toStdString(),
                                QFile::encodeName(aside).toStdString(), error);
        text = QStringLiteral("Calmfield could not use the tone kept in \"%1\": %2. It plays with "
                              "a flat tone, and %3.")
                   .arg(file_, failure.reason,
                        error ? QStringLiteral("the file could not be kept as \"%1\" (%2)")
                                    .arg(aside, QString::fromStdString(error.message()))
                              : QStringLiteral("the file is kept as \"%1\"").arg(aside));
    }
    QTimer::singleShot(0, this, [this, text] { messages_.showMessage(text); });
}

void ToneFileKeeper::write(bool tellFailure) {
    writeDelay_.stop();
    QDir().mkpath(QFileInfo(file_).path());
    const auto written = persistence::writeToneFile(file_, player_.tone());
    if (written.ok() || !tellFailure || writeFailureTold_)
        return;
    writeFailureTold_ = true;
    messages_.showMessage(QStringLiteral("Calmfield could not keep the tone in \"%1\": %2. It "
                                         "holds until Calmfield closes, but the next start will "
                                         "not have it.")
                              .arg(file_, written.reason()));
}

} // namespace calmfield::session
