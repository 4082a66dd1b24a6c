#pragma once

#include <QString>

namespace calmfield::shell {

// Where a window's messages for the user go.
class MessageSink {
  public:
    virtual ~MessageSink() = default;

    // Tells the user `text` and returns once the user has acknowledged it.
    virtual void showMessage(const QString& text) = 0;
};

} // namespace calmfield::shell
