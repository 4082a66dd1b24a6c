#pragma once

#include <QGroupBox>

namespace calmfield::shell {

// A group box whose caption stands a little in from the frame's left edge, as a desktop frame's
// does, rather than at its very first column.
class Frame : public QGroupBox {
    Q_OBJECT

  public:
    static constexpr int kCaptionInset = 6;

    explicit Frame(const QString& caption, QWidget* parent = nullptr);

    // Where the caption is drawn, in the frame's own coordinates.
    QRect captionRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace calmfield::shell
