#pragma once

#include <QTimeEdit>

namespace calmfield::widgets {

// A time of day as HH:MM. The arrow keys step the hours or the minutes, whichever the cursor is
// in, going round past midnight; what is typed counts once Return is pressed or the focus leaves.
// It shows the keyboard focus as a ring along its edge.
class TimeBox : public QTimeEdit {
    Q_OBJECT

  public:
    explicit TimeBox(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace calmfield::widgets
