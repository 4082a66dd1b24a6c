#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <filesystem>

namespace calmfield::player {
class MixPlayer;
}
namespace calmfield::session {
class MessageSink;
}

namespace calmfield::session {

// The listener's tone over a run: read from the user's settings folder into the player at start,
// and written back a moment after it last changed, so that dragging a slider writes the file once.
// A damaged file is put aside as "<name>.damaged" and the tone is flat.
class ToneFileKeeper : public QObject {
    Q_OBJECT

  public:
    static constexpr std::chrono::milliseconds kWriteDelay{500};

    // Gives `player` the tone kept in `userFolder`; with no folder the tone lasts only this run.
    // Problems with the file are told once the event loop runs, after the windows are up.
    ToneFileKeeper(player::MixPlayer& player, const std::filesystem::path& userFolder,
                   session::MessageSink& messages, QObject* parent = nullptr);
    // Writes a change still waiting, without a word should it fail.
    ~ToneFileKeeper() override;

    // Writes a change still waiting at once.
    void writePending();

  private:
    void read();
    void write(bool tellFailure);

    player::MixPlayer& player_;
    session::MessageSink& messages_;
    QString file_;
    QTimer writeDelay_;
    bool writeFailureTold_ = false;
};

} // namespace calmfield::session
