#pragma once

#include <QUrl>

#include <functional>

namespace calmfield::desktop {

// Hands a document or web address to the desktop, which opens it in the user's own viewer;
// answers whether anything could. QDesktopServices::openUrl is the real one.
using UrlOpener = std::function<bool(const QUrl&)>;

} // namespace calmfield::desktop
