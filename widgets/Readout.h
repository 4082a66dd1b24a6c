#pragma once

#include "widgets/LayoutTable.h"

#include <QLabel>

namespace calmfield::widgets {

// A value shown orange on black, at the place `row` gives it in `container`.
QLabel* placeReadout(const ControlRow& row, QWidget* container);

} // namespace calmfield::widgets
