#pragma once

#include "widgets/PushButton.h"

#include <QColor>
#include <QPixmap>

namespace calmfield::widgets {

// A push button drawn as its face picture, centred and clipped to the button inside a raised
// border, with the caption along the bottom edge. Without a picture the face is plain. The focus
// ring lies just inside the border.
class GraphicalButton : public PushButton {
    Q_OBJECT

  public:
    GraphicalButton(const QString& caption, const QPixmap& face, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap face_;
    QColor faceColour_; // what the focus ring has to stand out from
};

} // namespace calmfield::widgets
