#pragma once

#include <QRadioButton>

namespace calmfield::widgets {

// One of a set of choices: checking it unchecks the others in its container. The arrow keys move
// to the next choice and check it. It shows the keyboard focus as a ring around its circle and
// caption.
class RadioButton : public QRadioButton {
    Q_OBJECT

  public:
    explicit RadioButton(const QString& caption, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace calmfield::widgets
