#include "tests/support/WindowTestHelpers.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <cstdlib>

namespace calmfield::testsupport {

std::filesystem::path builtProgramFolder() {
    const char* folder = std::getenv("CALMFIELD_PROGRAM_DIR");
    return folder != nullptr ? std::filesystem::path(folder) : std::filesystem::path();
}

std::filesystem::path linkedProgramFolder(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    for (const auto& entry : std::filesystem::directory_iterator(builtProgramFolder())) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && QString::fromStdString(name).toLower() != "settings.ini")
            std::filesystem::create_symlink(entry.path(), folder / name);
    }
    return folder;
}

QByteArray contentOf(const std::filesystem::path& file) {
    QFile opened(QFile::decodeName(file.c_str()));
    return opened.open(QIODevice::ReadOnly) ? opened.readAll() : QByteArray("<unreadable>");
}

void putFile(const std::filesystem::path& file, const QByteArray& bytes) {
    QFile opened(QFile::decodeName(file.c_str()));
    ASSERT_TRUE(opened.open(QIODevice::WriteOnly | QIODevice::Truncate)) << file;
    ASSERT_EQ(opened.write(bytes), bytes.size());
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limit.count())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

QString captionOf(const QWidget* control) {
    if (const auto* box = qobject_cast<const QGroupBox*>(control))
        return box->title();
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (const auto* text = qobject_cast<const QLabel*>(control))
        return text->text();
    if (const auto* line = qobject_cast<const QLineEdit*>(control))
        return line->text();
    return {};
}

} // namespace calmfield::testsupport
