#include "widgets/ListBox.h"

#include "widgets/FocusRing.h"

#include <QHeaderView>
#include <QPainter>

namespace calmfield::widgets {

ListBox::ListBox(const QString& columns, QWidget* parent) : QTreeWidget(parent) {
    const QStringList captions = columns.split(QLatin1Char('|'));
    setColumnCount(static_cast<int>(captions.size()));
    setHeaderLabels(captions);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(true);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

void ListBox::paintEvent(QPaintEvent* event) {
    QTreeWidget::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(viewport());
    drawFocusRing(painter, viewport()->rect(), palette().base().color());
}

void ListBox::focusInEvent(QFocusEvent* event) {
    QTreeWidget::focusInEvent(event);
    viewport()->update();
}

void ListBox::focusOutEvent(QFocusEvent* event) {
    QTreeWidget::focusOutEvent(event);
    viewport()->update();
}

void ListBox::scrollContentsBy(int dx, int dy) {
    QTreeWidget::scrollContentsBy(dx, dy);
    viewport()->update();
}

} // namespace calmfield::widgets
