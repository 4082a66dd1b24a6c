#pragma once

#include <QTreeWidget>

namespace calmfield::widgets {

// A list of rows, each with its fields in columns under a header, one row chosen at a time. The
// arrow keys, Home and End choose a row. It shows the keyboard focus as a ring inside its edge.
class ListBox : public QTreeWidget {
    Q_OBJECT

  public:
    // `columns` are the header's captions, separated by "|".
    explicit ListBox(const QString& columns, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Scrolling moves what is drawn, the ring with it: the ring is drawn anew in its place.
    void scrollContentsBy(int dx, int dy) override;
};

} // namespace calmfield::widgets
