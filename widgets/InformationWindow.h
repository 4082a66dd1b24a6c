#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

class QShowEvent;

namespace calmfield::widgets {

// What the about and contact windows share: an ordinary sizable frame with minimise and maximise
// boxes, the program icon, and a place in the middle of the screen each time the window is shown.
// Escape closes it, and assistive technology reads it as a dialog of labels.
class InformationWindow : public QWidget {
    Q_OBJECT

  public:
    InformationWindow(const QString& caption, QSize clientSize, QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace calmfield::widgets
