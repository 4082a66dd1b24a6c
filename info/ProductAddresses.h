#pragma once

#include <QString>

#include <string_view>

namespace calmfield::info {

// The product's home page, which the about window's "Take me there!" opens.
inline constexpr std::string_view kHomePage = "https://calmfield.example/";

// Where users write with a problem, a query or a suggestion.
inline constexpr std::string_view kSupportMailAddress = "support@calmfield.example";

// A web address as the about window shows it: everything after the scheme's "://".
constexpr std::string_view withoutScheme(std::string_view address) {
    constexpr std::string_view schemeEnd = "://";
    const std::size_t found = address.find(schemeEnd);
    return found == std::string_view::npos ? address : address.substr(found + schemeEnd.size());
}

// An address as the windows show it.
inline QString addressText(std::string_view address) {
    return QString::fromUtf8(address.data(), static_cast<qsizetype>(address.size()));
}

} // namespace calmfield::info
