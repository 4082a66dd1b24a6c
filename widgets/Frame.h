#pragma once

#include <QGroupBox>

namespace calmfield::widgets {

// A group box whose caption stands a little in from the frame's left edge, as a desktop frame's
// does, rather than at its very first column.
class Frame : public QGroupBox {
    Q_OBJECT

  public:
    explicit Frame(const QString& caption, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    static constexpr int kCaptionInset = 6;

    // Where the caption is drawn, in the frame's own coordinates.
    QRect captionRect() const;
};

} // namespace calmfield::widgets
