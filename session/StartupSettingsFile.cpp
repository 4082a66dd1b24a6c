#include "session/StartupSettingsFile.h"

#include "persistence/DriftFile.h"

#include <QFile>

#include <system_error>

namespace calmfield::session {
namespace {

QString shownPath(const std::filesystem::path& path) {
    return QFile::decodeName(path.c_str());
}

// Writes the settings file, making its folder first when it is the user's own and new.
files::Result<files::Done, QString> write(const std::filesystem::path& file,
                                          const persistence::Settings& settings) {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error) {
        return files::failure(QStringLiteral("its folder cannot be created (%1)")
                                  .arg(QString::fromStdString(error.message())));
    }
    return persistence::writeSettings(shownPath(file), settings);
}

// Copies a settings file that cannot be used to `copy`, replacing an older copy, so that what the
// user had in it outlives the file being written at close. Gives what went wrong if it fails.
files::Result<files::Done, QString> keepCopy(const std::filesystem::path& file,
                                             const std::filesystem::path& copy) {
    std::error_code error;
    // Removed first, so that a read-only older copy is replaced too.
    std::filesystem::remove(copy, error);
    if (!error)
        std::filesystem::copy_file(file, copy, error);
    if (error)
        return files::failure(QString::fromStdString(error.message()));
    return files::Done{};
}

} // namespace

StartupSettingsFile::StartupSettingsFile(std::filesystem::path programFolder,
                                         std::filesystem::path userFolder,
                                         session::MessageSink& messages)
    : location_(std::move(programFolder), userFolder), userFolder_(std::move(userFolder)),
      messages_(messages) {}

void StartupSettingsFile::readInto(player::MixPlayer& player) {
    read_ = true;
    const engine::DriftSetting drift = readDrift();
    const std::filesystem::path file = location_.fileToRead();
    if (!file.empty()) {
        const auto settings = persistence::readSettings(shownPath(file));
        if (settings.ok())
            player.loadRisingGently(settings.value());
        else
            tellUnusable(file, settings.reason());
    }
    player.setDrift(drift);
}

engine::DriftSetting StartupSettingsFile::readDrift() {
    const auto drift = persistence::readDriftFile(userFolder_);
    if (drift.ok())
        return drift.value();
    messages_.showMessage(
        QStringLiteral("Calmfield could not use the drift kept in \"%1\": %2. "
                       "The mix plays without drift.")
            .arg(shownPath(userFolder_ / persistence::kDriftFileName), drift.reason()));
    return {};
}

void StartupSettingsFile::tellUnusable(const std::filesystem::path& file, const QString& error) {
    const std::filesystem::path replacement = location_.fileToWrite();
    const QString whenClosing =
        replacement == file ? QStringLiteral("the file will be replaced when Calmfield closes")
                            : QStringLiteral("they will be saved to \"%1\" when Calmfield closes")
                                  .arg(shownPath(replacement));
    std::filesystem::path copy = file;
    copy += ".damaged";
    const auto copied = keepCopy(file, copy);
    const QString copyNote =
        copied.ok() ? QStringLiteral("A copy of the file is kept as \"%1\".").arg(shownPath(copy))
                    : QStringLiteral("The file could not be copied to \"%1\" (%2).")
                          .arg(shownPath(copy), copied.reason());
    messages_.showMessage(QStringLiteral("Calmfield could not use its settings in \"%1\": "
                                         "%2. It starts with its usual settings, and %3. %4")
                              .arg(shownPath(file), error, whenClosing, copyNote));
}

void StartupSettingsFile::writeFrom(const player::MixPlayer& player) {
    // Settings that were never read hold only the starting values: they must not take the place
    // of the user's own.
    if (!read_ && !location_.fileToRead().empty())
        return;
    const std::filesystem::path file = location_.fileToWrite();
    const auto written = write(file, player.settings());
    if (!written.ok()) {
        messages_.showMessage(QStringLiteral("Calmfield could not save its settings to \"%1\": "
                                             "%2. Next time it will not start with this mix.")
                                  .arg(shownPath(file), written.reason()));
        return;
    }
    const auto drift = persistence::writeDriftFile(userFolder_, player.drift());
    if (!drift.ok()) {
        messages_.showMessage(
            QStringLiteral("Calmfield could not keep the drift in \"%1\": %2. "
                           "Next time the mix will start without it.")
                .arg(shownPath(userFolder_ / persistence::kDriftFileName), drift.reason()));
    }
}

} // namespace calmfield::session
