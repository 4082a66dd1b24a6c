#pragma once

#include "tests/support/ColourContrast.h"

#include <QAccessible>
#include <QImage>
#include <QSet>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>

namespace calmfield::testsupport {

// Shows `window` as the active one, so that its controls take the focus and its keys work.
inline void showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// The controls of `window` that Tab reaches, in the order it reaches them.
inline QList<QWidget*> tabStops(QWidget& window) {
    QList<QWidget*> stops;
    QWidget* next = window.nextInFocusChain();
    while (next != &window) {
        // A control that hands its focus to another, as a spin box's text field, is passed by.
        if ((next->focusPolicy() & Qt::TabFocus) && next->focusProxy() == nullptr &&
            next->isVisibleTo(&window) && next->isEnabled() && !stops.contains(next))
            stops.append(next);
        next = next->nextInFocusChain();
    }
    return stops;
}

// What giving `control` the focus draws, checked as a ring: empty when the pixels that change by
// 3:1 or more run at least two deep inward from each side of where they lie; otherwise why not.
inline std::string focusRingFault(QWidget& control) {
    control.window()->setFocus();
    const QImage before = control.grab().toImage();
    control.setFocus(Qt::TabFocusReason);
    if (!control.hasFocus())
        return "takes no focus";
    const QImage after = control.grab().toImage();
    const auto strong = [&](int x, int y) {
        return contrastRatio(before.pixelColor(x, y), after.pixelColor(x, y)) >= 3.0;
    };
    QRect ring;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x)
            if (strong(x, y))
                ring |= QRect(x, y, 1, 1);
    if (ring.width() < 6 || ring.height() < 6)
        return "no ring";
    const int row = ring.center().y(), column = ring.center().x();
    const auto deep = [&](QPoint from, QPoint step) {
        return strong(from.x(), from.y()) && strong(from.x() + step.x(), from.y() + step.y());
    };
    if (!deep({ring.left(), row}, {1, 0}) || !deep({ring.right(), row}, {-1, 0}) ||
        !deep({column, ring.top()}, {0, 1}) || !deep({column, ring.bottom()}, {0, -1}))
        return "a side of the ring is thinner than two pixels or faint";
    return {};
}

// Every control Tab reaches in `window` has a name for assistive technology that no other of
// them has, lies wholly inside the window and shows the focus as a ring.
inline void expectTabStopsNamedInsideAndRinged(QWidget& window) {
    QSet<QString> names;
    for (QWidget* control : tabStops(window)) {
        SCOPED_TRACE(control->objectName().toStdString());
        const QString name =
            QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
        EXPECT_FALSE(name.trimmed().isEmpty());
        EXPECT_FALSE(names.contains(name)) << name.toStdString();
        names.insert(name);
        EXPECT_TRUE(
            window.rect().contains(QRect(control->mapTo(&window, QPoint()), control->size())));
        EXPECT_EQ(focusRingFault(*control), "");
    }
}

} // namespace calmfield::testsupport
