#pragma once

#include <QLabel>

namespace calmfield::widgets {

// A sunken panel showing a picture from its top-left corner. It takes the keyboard focus and shows
// it as a ring just inside its border.
class PictureBox : public QLabel {
    Q_OBJECT

  public:
    explicit PictureBox(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace calmfield::widgets
