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

    // The controls, each under the name the rest of the program knows it by.
    QLabel* Picture1 = nullptr;      // the logo
    QLabel* Label1 = nullptr;        // the product's name
    QLabel* Label4 = nullptr;        // "Designed and Programmed by:"
    QLabel* Label5 = nullptr;        // the authors
    QLabel* Label2 = nullptr;        // the notice line
    QLabel* Label3 = nullptr;        // the home page, without its scheme
    QPushButton* Command1 = nullptr; // "Take me there!"

    widgets::ClientArea* clientArea() const { return client_; }

  private:
    void buildControls(const QRect& logoBox);
    void takeMeThereClicked();

    platform::UrlOpener openAddress_;
    widgets::ClientArea* client_ = nullptr;
};

} // namespace calmfield::info
