#pragma once

#include "session/MessageSink.h"

#include <QStringList>

namespace calmfield::testsupport {

// Keeps the messages and questions a window gives instead of showing them, and answers every
// question with `answer`.
class RecordingMessageSink final : public session::MessageSink {
  public:
    void showMessage(const QString& text) override { messages.append(text); }
    bool askYesNo(const QString& question) override {
        questions.append(question);
        return answer;
    }
    QStringList messages;
    QStringList questions;
    bool answer = true;
};

} // namespace calmfield::testsupport
