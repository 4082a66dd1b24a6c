#include "persistence/ToneFile.h"

#include "files/RegularFile.h"
#include "persistence/ReasonNotOpened.h"
#include "persistence/WholeFile.h"

#include <QFile>

#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

namespace calmfield::persistence {
namespace {

using engine::ToneSetting;

constexpr std::string_view kHeader = "calmfield tone 1";
// Fourteen short lines; anything much larger is not a tone file.
constexpr std::size_t kLargestFile = 1024;

std::string bandLabel(std::size_t band) {
    const double centre = ToneSetting::kBandCentres[band];
    if (centre == std::floor(centre))
        return std::to_string(static_cast<int>(centre)) + " Hz";
    return std::to_string(static_cast<int>(centre)) + "." +
           std::to_string(static_cast<int>(std::lround(centre * 10)) % 10) + " Hz";
}

// "+3", "-6.5", "0".
std::string decibels(int halfDb) {
    std::string text = halfDb > 0 ? "+" : halfDb < 0 ? "-" : "";
    text += std::to_string(std::abs(halfDb) / 2);
    if (halfDb % 2 != 0)
        text += ".5";
    return text + " dB";
}

int roundedNotchCentre(int step) {
    return static_cast<int>(std::lround(ToneSetting::notchCentreHz(step)));
}

// A whole number of at most five digits, nothing else.
std::optional<int> wholeNumber(std::string_view text) {
    int value = 0;
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.front() == '-')
        return std::nullopt;
    return value;
}

// "-6.5", "+3", "3.0" or "0" as half decibels.
std::optional<int> halfDecibels(std::string_view text) {
    int sign = 1;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        sign = text.front() == '-' ? -1 : 1;
        text.remove_prefix(1);
    }
    int half = 0;
    if (text.ends_with(".5"))
        half = 1;
    if (text.ends_with(".5") || text.ends_with(".0"))
        text.remove_suffix(2);
    const auto whole = wholeNumber(text);
    if (!whole)
        return std::nullopt;
    return sign * (2 * *whole + half);
}

// The value between "`label`: " and `unit` on `line`, or nothing when the line is otherwise.
std::optional<std::string_view> valueOf(std::string_view line, std::string_view label,
                                        std::string_view unit) {
    if (!line.starts_with(label) || !line.substr(label.size()).starts_with(": ") ||
        !line.ends_with(unit) || line.size() < label.size() + 2 + unit.size())
        return std::nullopt;
    line.remove_prefix(label.size() + 2);
    line.remove_suffix(unit.size());
    return line;
}

QString notAsWritten(std::string_view label) {
    return QStringLiteral("the line for \"%1\" is not one Calmfield writes")
        .arg(QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())));
}

} // namespace

std::string formatTone(const ToneSetting& tone) {
    std::string text = std::string(kHeader) + "\n";
    for (std::size_t band = 0; band < ToneSetting::kBandCount; ++band)
        text += bandLabel(band) + ": " + decibels(tone.bandHalfDb[band]) + "\n";
    text += std::string("notch: ") + (tone.notch ? "on" : "off") + "\n";
    text += "notch centre: " + std::to_string(roundedNotchCentre(tone.notchStep)) + " Hz\n";
    text += "notch depth: " + std::to_string(tone.notchDepthDb) + " dB\n";
    return text;
}

files::Result<ToneSetting, QString> parseTone(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        if (end == std::string_view::npos)
            return files::failure(QStringLiteral("its last line is cut short"));
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        lines.push_back(line);
        text.remove_prefix(end + 1);
    }
    constexpr std::size_t kLineCount = 1 + ToneSetting::kBandCount + 3;
    if (lines.empty() || lines.front() != kHeader)
        return files::failure(QStringLiteral("it is not a tone file"));
    if (lines.size() != kLineCount)
        return files::failure(
            QStringLiteral("it has %1 lines rather than %2").arg(lines.size()).arg(kLineCount));

    ToneSetting tone;
    std::size_t at = 1;
    for (std::size_t band = 0; band < ToneSetting::kBandCount; ++band, ++at) {
        const std::string label = bandLabel(band);
        const auto value = valueOf(lines[at], label, " dB");
        const auto halfDb = value ? halfDecibels(*value) : std::nullopt;
        if (!halfDb || *halfDb < ToneSetting::kLowestHalfDb ||
            *halfDb > ToneSetting::kHighestHalfDb)
            return files::failure(notAsWritten(label));
        tone.bandHalfDb[band] = *halfDb;
    }
    const auto notch = valueOf(lines[at++], "notch", "");
    if (notch != "on" && notch != "off")
        return files::failure(notAsWritten("notch"));
    tone.notch = notch == "on";

    const auto centre = valueOf(lines[at++], "notch centre", " Hz");
    const auto centreHz = centre ? wholeNumber(*centre) : std::nullopt;
    bool found = false;
    for (int step = ToneSetting::kLowestNotchStep;
         step <= ToneSetting::kHighestNotchStep && centreHz; ++step) {
        if (roundedNotchCentre(step) == *centreHz) {
            tone.notchStep = step;
            found = true;
        }
    }
    if (!found)
        return files::failure(notAsWritten("notch centre"));

    const auto depth = valueOf(lines[at], "notch depth", " dB");
    const auto depthDb = depth ? wholeNumber(*depth) : std::nullopt;
    if (!depthDb || *depthDb < ToneSetting::kShallowestNotchDb ||
        *depthDb > ToneSetting::kDeepestNotchDb)
        return files::failure(notAsWritten("notch depth"));
    tone.notchDepthDb = *depthDb;
    return tone;
}

files::Result<ToneSetting, ToneFileFailure> readToneFile(const QString& path) {
    using Kind = ToneFileFailure::Kind;
    files::RegularFile file = files::RegularFile::open(QFile::encodeName(path).constData());
    if (!file.isOpen()) {
        const Kind kind = file.failure() == files::RegularFile::Failure::missing ? Kind::missing
                                                                                 : Kind::unreadable;
        return files::failure(
            ToneFileFailure{kind, QString::fromUtf8(reasonNotOpened(file.failure()))});
    }
    std::string bytes;
    if (!file.readUpTo(kLargestFile + 1, bytes))
        return files::failure(
            ToneFileFailure{Kind::unreadable, QStringLiteral("it cannot be read")});
    if (bytes.size() > kLargestFile)
        return files::failure(
            ToneFileFailure{Kind::damaged, QStringLiteral("it is too large to be a tone file")});
    auto tone = parseTone(bytes);
    if (!tone.ok())
        return files::failure(ToneFileFailure{Kind::damaged, tone.reason()});
    return tone.value();
}

files::Result<files::Done, QString> writeToneFile(const QString& path, const ToneSetting& tone) {
    return writeWholeFile(path, formatTone(tone));
}

} // namespace calmfield::persistence
