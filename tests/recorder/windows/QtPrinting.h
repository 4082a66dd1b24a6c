#pragma once

#include <QRect>
#include <QString>

#include <ostream>

// Qt values as the tests' failure messages show them.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QRect& rect, std::ostream* out) {
    *out << "(" << rect.x() << ", " << rect.y() << ", " << rect.width() << ", " << rect.height()
         << ")";
}
