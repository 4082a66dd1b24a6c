#pragma once

#include <QPixmap>
#include <QPushButton>

namespace calmfield::widgets {

// A push button drawn as its face picture, centred and clipped to the button inside a raised
// border, with the caption along the bottom edge. Without a picture the face is plain.
class GraphicalButton : public QPushButton {
    Q_OBJECT

  public:
    GraphicalButton(const QString& caption, const QPixmap& face, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap face_;
};

} // namespace calmfield::widgets
