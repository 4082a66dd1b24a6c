#pragma once

#include "widgets/InformationWindow.h"

#include <QLabel>

namespace calmfield::recorder {

// The troubleshooting window: how to make a recording that plays back, and how to save it.
class TroubleshootingWindow : public widgets::InformationWindow {
    Q_OBJECT

  public:
    explicit TroubleshootingWindow(QWidget* parent = nullptr);

    // The labels in reading order, each under the name the rest of the program knows it by.
    QLabel* Label7 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
};

} // namespace calmfield::recorder
