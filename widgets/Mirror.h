#pragma once

#include <QSignalBlocker>

namespace calmfield::widgets {

// Shows `value` in a control without the control reporting it as the user's change.
template <typename Control, typename Value> void mirror(Control* control, const Value& value) {
    const QSignalBlocker quiet(control);
    control->setValue(value);
}

} // namespace calmfield::widgets
