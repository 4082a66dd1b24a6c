#pragma once

#include "recorder/CommandStrings.h"
#include "widgets/ClientArea.h"
#include "widgets/GraphicalButton.h"

#include <QAction>
#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QTimer>

#include <functional>
#include <string_view>

namespace calmfield::shell {}

namespace calmfield::recorder {

// The recorder window: records a take through the capture element, shows its elapsed time, its
// size and the device's mode, plays it back, and leads to the save-name dialog and the
// troubleshooting window. The capture element is open from the window's load to its unload;
// closing the window unloads it and, with Qt::WA_DeleteOnClose, ends it.
class RecorderWindow : public QMainWindow {
    Q_OBJECT

  public:
    using Clock = std::function<QDateTime()>;

    // Creates and loads the window: the capture element is open once this returns.
    RecorderWindow(
        CommandStrings& commands, std::function<void()> showSaveName,
        std::function<void()> showTroubleshooting,
        Clock clock = [] { return QDateTime::currentDateTime(); }, QWidget* parent = nullptr);
    ~RecorderWindow() override;

    // Shows the time since the take started in the elapsed-time display.
    void increment();

    // The controls, each under the name the rest of the program knows it by.
    QMenu* Quality = nullptr;
    QAction* low = nullptr;
    QAction* med = nullptr;
    QAction* high = nullptr;

    QGroupBox* Frame3 = nullptr; // "Information"
    QLabel* Label3 = nullptr;    // information readout
    QGroupBox* Frame2 = nullptr; // "Status"
    QLineEdit* Text1 = nullptr;  // elapsed-time display
    QLabel* Label1 = nullptr;    // mode readout
    QLineEdit* Text2 = nullptr;  // out of sight

    widgets::GraphicalButton* Command1 = nullptr; // "Reset"
    widgets::GraphicalButton* Command2 = nullptr; // "Record"
    widgets::GraphicalButton* Command3 = nullptr; // "Stop"
    widgets::GraphicalButton* Command4 = nullptr; // "Play"
    widgets::GraphicalButton* Command5 = nullptr; // "Save "
    widgets::GraphicalButton* Command6 = nullptr; // "Help"

    QTimer* Timer1 = nullptr; // mode poll
    QTimer* Timer2 = nullptr; // information poll
    QTimer* Timer3 = nullptr; // elapsed-time clock

  protected:
    // The window's unload, whichever way it closes.
    void closeEvent(QCloseEvent* event) override;

  private:
    // Building the window (Form8Layout.cpp).
    void buildWindow();
    void buildMenus();
    void buildControls(widgets::ClientArea* client);
    void buildTimers();
    void setTabOrder();

    // Every control as the window is created.
    void setCreationState();
    void load();
    void unload();

    // Handlers.
    void connectHandlers();
    void recordClicked();
    void stopClicked();
    void playClicked();
    void resetClicked();
    void qualityClicked(QAction* entry);
    void modeTick();
    void informationTick();

    void send(std::string_view command);

    CommandStrings& commands_;
    std::function<void()> showSaveName_;
    std::function<void()> showTroubleshooting_;
    Clock clock_;
    QDateTime startTime_;
    bool loaded_ = false;
};

} // namespace calmfield::recorder
