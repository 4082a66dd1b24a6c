#pragma once

#include "widgets/InformationWindow.h"

namespace calmfield::recorder {

// The troubleshooting window: how to make a recording that plays back, and how to save it. It
// holds only its paragraphs, questions in bold with their answers below.
class TroubleshootingWindow : public widgets::InformationWindow {
    Q_OBJECT

  public:
    explicit TroubleshootingWindow(QWidget* parent = nullptr);
};

} // namespace calmfield::recorder
