#include "persistence/LineFormat.h"

#include <charconv>

namespace calmfield::persistence {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// What some editors put before the first character of a file saved as UTF-8.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string nameOfField(std::size_t n) {
    return "number " + std::to_string(n);
}

} // namespace

std::string formatLine(std::span<const std::int16_t> values) {
    std::string line;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += ',';
        line += std::to_string(values[i]);
    }
    line += "\r\n";
    return line;
}

namespace {

// Without `ranges`, any 16-bit value is taken.
files::Result<std::vector<std::int16_t>, std::string>
parseFields(std::string_view text, std::size_t fieldCount, std::span<const FieldRange> ranges,
            std::string_view* rest) {
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    std::vector<std::int16_t> values;
    std::size_t position = 0;
    bool afterComma = false;
    while (values.size() < fieldCount) {
        // A line end only separates: empty lines and a line end after a comma make no field.
        while (position < text.size() && (isLineEnd(text[position]) || isBlank(text[position]))) {
            if (isLineEnd(text[position]))
                afterComma = false;
            ++position;
        }
        if (position >= text.size() && !afterComma)
            break;
        std::size_t end = position;
        while (end < text.size() && text[end] != ',' && !isLineEnd(text[end]))
            ++end;
        const std::string_view field = trimmed(text.substr(position, end - position));
        const std::size_t number = values.size() + 1;

        std::string_view digits = field;
        if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
            digits.remove_prefix(1);
        if (field.empty() || digits.empty() ||
            digits.find_first_not_of("0123456789") != std::string_view::npos) {
            return files::failure(field.empty() ? nameOfField(number) + " is missing"
                                                : nameOfField(number) + " is not a whole number");
        }
        long long value = 0;
        const char* first = field.data() + (field.front() == '+' ? 1 : 0);
        const auto [last, status] = std::from_chars(first, field.data() + field.size(), value);
        // Digits that not even a long long holds are outside every range.
        const bool read = status == std::errc{} && last == field.data() + field.size();
        if (!ranges.empty()) {
            if (!read || !ranges[values.size()].takes(value))
                return files::failure(outsideRange(number, field, ranges[values.size()]));
        } else if (!read || value < INT16_MIN || value > INT16_MAX) {
            return files::failure(nameOfField(number) + " lies outside -32768 to 32767");
        }
        values.push_back(static_cast<std::int16_t>(value));
        if (rest != nullptr && values.size() == fieldCount) {
            const std::size_t lineEnd = text.find_first_of("\r\n", end);
            *rest = lineEnd == std::string_view::npos ? std::string_view{} : text.substr(lineEnd);
        }
        afterComma = end < text.size() && text[end] == ',';
        position = end + (afterComma ? 1 : 0);
    }
    if (values.size() < fieldCount) {
        return files::failure("it holds " + std::to_string(values.size()) + " of the " +
                              std::to_string(fieldCount) + " numbers needed");
    }
    return values;
}

} // namespace

files::Result<std::vector<std::int16_t>, std::string> parseLine(std::string_view text,
                                                                std::size_t fieldCount) {
    return parseFields(text, fieldCount, {}, nullptr);
}

files::Result<std::vector<std::int16_t>, std::string>
parseLine(std::string_view text, std::span<const FieldRange> ranges, std::string_view* rest) {
    return parseFields(text, ranges.size(), ranges, rest);
}

} // namespace calmfield::persistence
