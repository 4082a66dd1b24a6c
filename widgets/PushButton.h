#pragma once

#include <QPushButton>

namespace calmfield::widgets {

// A push button that Return and the keypad's Enter press, as Space does, while it has the keyboard
// focus, and that shows the focus as a ring around its face.
class PushButton : public QPushButton {
    Q_OBJECT

  public:
    explicit PushButton(const QString& caption, QWidget* parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace calmfield::widgets
