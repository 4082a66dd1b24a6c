#pragma once

#include <QLineEdit>

namespace calmfield::widgets {

// A one-line text box that shows the keyboard focus as a ring along its edge.
class TextBox : public QLineEdit {
    Q_OBJECT

  public:
    explicit TextBox(const QString& text, QWidget* parent = nullptr) : QLineEdit(text, parent) {}

  protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace calmfield::widgets
