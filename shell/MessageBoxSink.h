#pragma once

#include "shell/MessageSink.h"

namespace calmfield::shell {

// Shows each message in a modal box titled "Calmfield" with a single OK button, owned by the
// active window.
class MessageBoxSink final : public MessageSink {
  public:
    void showMessage(const QString& text) override;
};

} // namespace calmfield::shell
