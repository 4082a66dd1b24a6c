#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

#include <chrono>
#include <filesystem>
#include <functional>

namespace calmfield::testsupport {

// The program's folder the build fills with sound files and colour pictures.
std::filesystem::path builtProgramFolder();

// Makes `folder` a program folder of its own, holding links to the built one's files but no
// startup settings file, so that a window may write its settings without touching the build's.
std::filesystem::path linkedProgramFolder(const std::filesystem::path& folder);

// The bytes of a file, or "<unreadable>".
QByteArray contentOf(const std::filesystem::path& file);
// Creates or replaces a file holding `bytes`.
void putFile(const std::filesystem::path& file, const QByteArray& bytes);

// The caption a frame, button, label or text box shows.
QString captionOf(const QWidget* control);

// Runs the event loop until `done` holds or `limit` passes; gives `done()` at the end.
bool waitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(5));

} // namespace calmfield::testsupport
