#pragma once

#include "engine/SoundBuffer.h"
#include "platform/MemorySoundOutput.h"
#include "platform/RecordingSystemMixer.h"
#include "shell/Form1.h"
#include "shell/ProgramWindows.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <QStringList>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QSize& size, std::ostream* out) {
    *out << size.width() << " x " << size.height();
}
inline void PrintTo(const QRect& rect, std::ostream* out) {
    *out << "(" << rect.x() << ", " << rect.y() << ", " << rect.width() << ", " << rect.height()
         << ")";
}

namespace calmfield::testing {

// Keeps the messages a window gives instead of showing them.
class RecordingMessageSink final : public shell::MessageSink {
  public:
    void showMessage(const QString& text) override { messages.append(text); }
    QStringList messages;
};

// The program's folder the build fills with sound files and colour pictures.
std::filesystem::path builtProgramFolder();

// Runs the event loop until `done` holds or `limit` passes; gives `done()` at the end.
bool waitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(5));

// The colour picture as the program's folder holds it, or a null image.
QImage colourPicture(const std::filesystem::path& folder, int colour);

// A main window over an in-memory sound output at the sound files' own rate, so that a channel
// playing at that rate renders its samples unchanged.
class Form1Fixture : public ::testing::Test {
  protected:
    explicit Form1Fixture(std::filesystem::path folder = builtProgramFolder(),
                          bool deviceAvailable = true);

    engine::NoiseChannel& channel(int colour);
    QImage shownPicture() const;

    // The frame of its sound at which the only playing channel goes on, found by rendering past a
    // fade-in and matching what comes out against the sound; -1 when nothing matches.
    long playingPosition(int colour);

    // The services of a main window over these fakes; the desktop opens nothing and offers a tray
    // when `trayAvailable` says so.
    shell::Form1Services services();

    std::filesystem::path folder;
    platform::MemorySoundOutput output;
    platform::RecordingSystemMixer mixer;
    RecordingMessageSink messages;
    QList<QUrl> openedAddresses;
    bool trayAvailable = true;
    int programEndings = 0;
    shell::ProgramWindows windows{[this](const QUrl& address) {
                                      openedAddresses.append(address);
                                      return false;
                                  },
                                  [this] { ++programEndings; }};
    std::unique_ptr<shell::Form1> form;
};

} // namespace calmfield::testing
