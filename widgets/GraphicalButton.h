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

// A graphical button named `name`, placed at `place` in `container`.
GraphicalButton* graphicalButton(const char* name, const char* caption, const QPixmap& face,
                                 const QRect& place, QWidget* container);

} // namespace calmfield::widgets
