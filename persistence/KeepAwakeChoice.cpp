#include "persistence/KeepAwakeChoice.h"

#include "persistence/LineFile.h"

#include <QFile>

#include <array>
#include <cstdint>
#include <system_error>

namespace calmfield::persistence {

KeepAwakeChoice::KeepAwakeChoice(std::filesystem::path userFolder)
    : userFolder_(std::move(userFolder)) {
    const auto content = readLineFile(path(), 1);
    if (content.ok() && content.value().size() == 1)
        wanted_ = content.value().front() != 0;
}

QString KeepAwakeChoice::path() const {
    return QFile::decodeName((userFolder_ / kFileName).c_str());
}

files::Result<files::Done, QString> KeepAwakeChoice::set(bool wanted) {
    wanted_ = wanted;
    std::error_code error;
    std::filesystem::create_directories(userFolder_, error);
    const std::array<std::int16_t, 1> values{static_cast<std::int16_t>(wanted ? 1 : 0)};
    return writeLineFile(path(), values);
}

} // namespace calmfield::persistence
