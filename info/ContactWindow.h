#pragma once

#include "widgets/InformationWindow.h"

#include <QLabel>

namespace calmfield::info {

// The contact window: where to write with a problem, a query or a suggestion.
class ContactWindow : public widgets::InformationWindow {
    Q_OBJECT

  public:
    explicit ContactWindow(QWidget* parent = nullptr);
};

} // namespace calmfield::info
