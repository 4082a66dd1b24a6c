#include "persistence/DriftFile.h"

#include "files/RegularFile.h"
#include "persistence/DriftLine.h"
#include "persistence/ReasonNotOpened.h"
#include "persistence/WholeFile.h"

#include <QFile>

#include <string>
#include <system_error>

namespace calmfield::persistence {
namespace {

// One short line; anything much larger is not one of ours.
constexpr std::size_t kLargestFile = 256;

} // namespace

files::Result<engine::DriftSetting, QString>
readDriftFile(const std::filesystem::path& userFolder) {
    if (userFolder.empty())
        return engine::DriftSetting{};
    files::RegularFile file = files::RegularFile::open(userFolder / kDriftFileName);
    if (!file.isOpen()) {
        if (file.failure() == files::RegularFile::Failure::missing)
            return engine::DriftSetting{};
        return files::failure(QString::fromUtf8(reasonNotOpened(file.failure())));
    }
    std::string bytes;
    if (!file.readUpTo(kLargestFile + 1, bytes))
        return files::failure(QStringLiteral("it cannot be read"));
    if (bytes.size() > kLargestFile)
        return files::failure(QStringLiteral("it is too large to hold a drift line"));
    const auto drift = readDriftLine(bytes);
    if (!drift.ok())
        return files::failure(QString::fromStdString(drift.reason()));
    if (!drift.value())
        return files::failure(QStringLiteral("it holds no drift line"));
    return *drift.value();
}

files::Result<files::Done, QString> writeDriftFile(const std::filesystem::path& userFolder,
                                                   const engine::DriftSetting& drift) {
    if (userFolder.empty())
        return files::Done{};
    const std::filesystem::path path = userFolder / kDriftFileName;
    std::error_code error;
    if (!drift.on) {
        std::filesystem::remove(path, error);
        if (error)
            return files::failure(QStringLiteral("it cannot be removed (%1)")
                                      .arg(QString::fromStdString(error.message())));
        return files::Done{};
    }
    std::filesystem::create_directories(userFolder, error);
    return writeWholeFile(QFile::decodeName(path.c_str()), formatDriftLine(drift));
}

} // namespace calmfield::persistence
