#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>

namespace calmfield::recorder {

// A byte count in megabytes of 1,000,000 bytes, exactly, as the information readout writes it:
// a blank where a sign would go, no zero before the point, no trailing zeros and no point for a
// whole number (" 0", " .0882", " 1.234567", " .00005").
QString sizeFigure(std::uint64_t bytes);

// The byte count a size query replied, or nothing when the reply is not one.
std::optional<std::uint64_t> byteCount(std::string_view sizeReply);

// The information readout for the reply to a size query, or nothing when the reply is not a
// byte count.
std::optional<QString> informationText(std::string_view sizeReply);

// The time from `start` to `now` in whole seconds as "hh:mm:ss", the hours wrapping after 24.
QString elapsedText(const QDateTime& start, const QDateTime& now);

} // namespace calmfield::recorder
