#pragma once

#include "recorder/windows/RecorderServices.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <filesystem>

namespace calmfield::recorder {

// The save-name dialog: writes the capture element's take as a WAV file, named as the user
// types, in the home folder. It is deleted when it closes, so it opens with an empty name. Escape
// closes it without saving.
class SaveNameDialog : public QWidget {
    Q_OBJECT

  public:
    explicit SaveNameDialog(const RecorderServices& services, QWidget* parent = nullptr);

  protected:
    // Shown in the middle of the screen.
    void showEvent(QShowEvent* event) override;

  private:
    void buildControls();
    void saveClicked();

    CommandStrings& commands_;
    session::MessageSink& messages_;
    std::filesystem::path homeFolder_;
    QLineEdit* nameBox_ = nullptr;
};

} // namespace calmfield::recorder
