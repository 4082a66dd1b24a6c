#pragma once

#include "desktop/UrlOpener.h"
#include "widgets/ClientArea.h"
#include "widgets/InformationWindow.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>

namespace calmfield::info {

// The about window: the logo, the product's name and makers, and a button that opens the
// product's home page in the user's browser.
class AboutWindow : public widgets::InformationWindow {
    Q_OBJECT

  public:
    explicit AboutWindow(desktop::UrlOpener openAddress = &QDesktopServices::openUrl,
                         QWidget* parent = nullptr);

  private:
    void buildControls();
    void takeMeThereClicked();

    desktop::UrlOpener openAddress_;
    widgets::ClientArea* client_ = nullptr;
};

} // namespace calmfield::info
