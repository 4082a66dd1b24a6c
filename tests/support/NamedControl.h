#pragma once

#include <QObject>
#include <QString>

#include <stdexcept>
#include <string>

namespace calmfield::testsupport {

// The control named `name` in `window`, as its layout table names it. A missing control, or one
// of another kind, ends the test at once with its name rather than with a null pointer.
template <typename Control = QWidget> Control* named(const QObject* window, const QString& name) {
    auto* found = window->findChild<Control*>(name);
    if (found == nullptr)
        throw std::runtime_error("no control named \"" + name.toStdString() + "\" of kind " +
                                 Control::staticMetaObject.className() + " in " +
                                 window->objectName().toStdString());
    return found;
}

} // namespace calmfield::testsupport
