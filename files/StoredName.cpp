#include "files/StoredName.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <system_error>

namespace calmfield::files {
namespace {

std::string plainName(std::string_view storedName) {
    while (!storedName.empty() && (storedName.front() == '\\' || storedName.front() == '/'))
        storedName.remove_prefix(1);
    while (!storedName.empty() && storedName.back() == ' ')
        storedName.remove_suffix(1);
    std::string name(storedName);
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

std::filesystem::path resolveStoredName(const std::filesystem::path& folder,
                                        std::string_view storedName) {
    const std::string name = plainName(storedName);
    const auto exact = folder / name;
    std::error_code error;
    if (std::filesystem::exists(exact, error))
        return exact;
    if (name.find('/') != std::string::npos)
        return exact;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (equalIgnoringCase(entry.path().filename().string(), name))
            return entry.path();
    }
    return exact;
}

} // namespace calmfield::files
