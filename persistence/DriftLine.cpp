#include "persistence/DriftLine.h"

#include <array>
#include <charconv>
#include <vector>

namespace calmfield::persistence {
namespace {

using engine::DriftSetting;
using engine::DriftSpeed;

constexpr std::string_view kKeyword = "drift";
constexpr std::array<std::string_view, 3> kSpeedWords{"slow", "medium", "fast"};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::vector<std::string_view> wordsOf(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && isBlank(line[at]))
            ++at;
        std::size_t end = at;
        while (end < line.size() && !isBlank(line[end]))
            ++end;
        if (end > at)
            words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

// Digits only, within `highest`.
template <typename Number> std::optional<Number> decimal(std::string_view text, Number highest) {
    Number value{};
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > highest)
        return std::nullopt;
    return value;
}

} // namespace

std::string formatDriftLine(const DriftSetting& drift) {
    return std::string(kKeyword) + " " + std::to_string(drift.depthDb) + " " +
           std::string(kSpeedWords[static_cast<std::size_t>(drift.speed)]) + " " +
           std::to_string(drift.seed) + "\r\n";
}

files::Result<std::optional<DriftSetting>, std::string> readDriftLine(std::string_view text) {
    std::vector<std::string_view> words;
    while (words.empty() && !text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        words = wordsOf(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    if (words.empty() || words.front() != kKeyword)
        return std::optional<DriftSetting>{};
    const auto damaged = [](const char* why) {
        return files::failure(std::string("its drift line ") + why);
    };
    if (words.size() != 4)
        return damaged("should hold a depth, a speed and a seed after \"drift\"");
    DriftSetting drift{.on = true};
    const auto depth = decimal<int>(words[1], DriftSetting::kDeepestDb);
    if (!depth || *depth < DriftSetting::kShallowestDb)
        return damaged("gives a depth outside 1 to 12 decibels");
    drift.depthDb = *depth;
    bool known = false;
    for (std::size_t speed = 0; speed < kSpeedWords.size(); ++speed) {
        if (words[2] == kSpeedWords[speed]) {
            drift.speed = static_cast<DriftSpeed>(speed);
            known = true;
        }
    }
    if (!known)
        return damaged("gives a speed other than slow, medium or fast");
    const auto seed = decimal<std::uint32_t>(words[3], UINT32_MAX);
    if (!seed)
        return damaged("gives a seed that is not a whole number from 0 to 4294967295");
    drift.seed = *seed;
    return std::optional<DriftSetting>{drift};
}

} // namespace calmfield::persistence
