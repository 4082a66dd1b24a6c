#pragma once

#include <QString>

namespace calmfield::session {

// Where a window's messages for the user go.
class MessageSink {
  public:
    virtual ~MessageSink() = default;

    // Tells the user `text` and returns once the user has acknowledged it.
    virtual void showMessage(const QString& text) = 0;
    // Asks the user `question` and gives whether the answer was Yes.
    virtual bool askYesNo(const QString& question) = 0;
};

} // namespace calmfield::session
