#pragma once

#include "shell/MessageSink.h"

namespace calmfield::shell {

// Shows each message in a modal box titled "Calmfield" with a single OK button, and each question
// with Yes and No, owned by the active window.
class MessageBoxSink final : public MessageSink {
  public:
    void showMessage(const QString& text) override;
    bool askYesNo(const QString& question) override;
};

} // namespace calmfield::shell
