#pragma once

#include <QPixmap>
#include <QWidget>

namespace calmfield::widgets {

// A window's client area with its background picture drawn unscaled from the top-left corner.
class ClientArea : public QWidget {
    Q_OBJECT

  public:
    ClientArea(const QPixmap& background, QWidget* parent = nullptr);

    const QPixmap& background() const { return background_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap background_;
};

} // namespace calmfield::widgets
