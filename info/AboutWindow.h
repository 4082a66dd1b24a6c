#pragma once

#include "platform/UrlOpener.h"
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
    explicit AboutWindow(platform::UrlOpener openAddress = &QDesktopServices::openUrl,
                         QWidget* parent = nullptr);

    QLabel* logo = nullptr;
    QLabel* productName = nullptr;
    QLabel* creditsHeading = nullptr; // "Designed and Programmed by:"
    QLabel* authors = nullptr;
    QLabel* notice = nullptr;
    QLabel* homePageAddress = nullptr; // without its scheme
    QPushButton* takeMeThereButton = nullptr;

    widgets::ClientArea* clientArea() const { return client_; }

  private:
    void buildControls();
    void takeMeThereClicked();

    platform::UrlOpener openAddress_;
    widgets::ClientArea* client_ = nullptr;
};

} // namespace calmfield::info
