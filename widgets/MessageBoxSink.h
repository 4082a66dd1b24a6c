#pragma once

#include "session/MessageSink.h"

namespace calmfield::widgets {

// Shows each message in a modal box titled "Calmfield" with a single OK button, and each question
// with Yes and No, owned by the active window.
class MessageBoxSink final : public session::MessageSink {
  public:
    void showMessage(const QString& text) override;
    bool askYesNo(const QString& question) override;

    // From now on, when the program is ending without its user (the session is closing), messages
    // go to the standard error stream and questions are answered No, rather than waiting for a
    // click that will never come.
    void stopWaitingForTheUser() { unattended_ = true; }

  private:
    bool unattended_ = false;
};

} // namespace calmfield::widgets
