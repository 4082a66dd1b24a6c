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
#include <string>
#include <string_view>

namespace calmfield::recorder {

// The recorder window: records a take through the capture element, shows its elapsed time, its
// size and the device's mode, plays it back, and leads to the save-name dialog and the
// troubleshooting window. The capture element is open from the window's load to its unload;
// closing the window unloads it and, with Qt::WA_DeleteOnClose, ends it.
//
// The mode and size readouts are refreshed at every change of state. In between, the mode is
// polled only while the element records, plays or waits for the sound server, and the size only
// while a take grows: a window left idle does nothing.
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

  protected:
    // The window's unload, whichever way it closes.
    void closeEvent(QCloseEvent* event) override;

  private:
    // Building the window (RecorderWindowLayout.cpp).
    void buildWindow();
    void buildMenus();
    void buildControls(widgets::ClientArea* client);
    void buildTimers();
    void setTabOrder();
    void nameForAssistiveTechnology();

    // Every control as the window is created.
    void setCreationState();
    void load();
    void unload();

    void connectHandlers();
    void recordClicked();
    void stopClicked();
    void playClicked();
    void resetClicked();
    void qualityClicked(QAction* entry);

    // Shows the time since the take started in the elapsed-time display.
    void showElapsedTime();
    // Shows the mode and the size as they are now, and polls what can change by itself.
    void refreshReadouts();
    void showMode(const std::string& mode);
    void showSize();
    void modePolled();

    void send(std::string_view command);

    CommandStrings& commands_;
    std::function<void()> showSaveName_;
    std::function<void()> showTroubleshooting_;
    Clock clock_;
    QDateTime startTime_;
    std::string shownMode_;
    bool loaded_ = false;

    QMenu* qualityMenu_ = nullptr;
    QAction* lowQuality_ = nullptr;
    QAction* mediumQuality_ = nullptr;
    QAction* highQuality_ = nullptr;

    QGroupBox* informationFrame_ = nullptr;
    QLabel* informationReadout_ = nullptr; // the take's size and channels
    QGroupBox* statusFrame_ = nullptr;
    QLineEdit* elapsedReadout_ = nullptr;
    QLabel* modeReadout_ = nullptr;
    QLineEdit* outOfSightBox_ = nullptr; // never seen, and never reached by the focus

    widgets::GraphicalButton* resetButton_ = nullptr;
    widgets::GraphicalButton* recordButton_ = nullptr;
    widgets::GraphicalButton* stopButton_ = nullptr;
    widgets::GraphicalButton* playButton_ = nullptr;
    widgets::GraphicalButton* saveButton_ = nullptr;
    widgets::GraphicalButton* helpButton_ = nullptr;

    QTimer* modePoll_ = nullptr;
    QTimer* sizePoll_ = nullptr;
    QTimer* elapsedClock_ = nullptr; // runs from Record to Stop
};

} // namespace calmfield::recorder
