#pragma once

#include "session/MessageSink.h"

namespace calmfield::app {

// Messages for a program without windows: each goes to standard error in the words a message box
// would show, and a question is answered No, as nobody is there to answer it.
class StandardErrorMessages final : public session::MessageSink {
  public:
    void showMessage(const QString& text) override;
    bool askYesNo(const QString& question) override;
};

} // namespace calmfield::app
