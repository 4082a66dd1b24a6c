#pragma once

#include <QWidget>

#include <span>

namespace calmfield::widgets {

enum class ControlKind {
    Frame,    // a Frame, filled with its window's face
    GroupBox, // a plain group box, filled with its window's face
    CheckBox,
    RadioButton, // one of the choices that share its parent
    Slider,      // its range is the window's to set
    Label,       // text at the top left, on its parent's face
    Picture,     // a sunken panel that takes the keyboard focus
    TextBox,
    SmallButton, // graphical buttons, each kind with its own face picture
    MediumButton,
    WideButton,
    PushButton, // a plain push button
    ListBox,    // its caption gives its columns' captions, separated by "|"
    TimeBox,
};

// One control of a window's layout, placed in its parent.
struct ControlRow {
    const char* name; // the control's object name
    ControlKind kind;
    const char* caption;          // UTF-8
    int left, top, width, height; // in twips
};

// Makes the control of `row` inside `parent`, with its caption, object name and place. What only
// its window knows (a slider's range, colours, fonts) the window adds.
QWidget* placeControl(const ControlRow& row, QWidget* parent);

template <typename Control> Control* placeControl(const ControlRow& row, QWidget* parent) {
    return static_cast<Control*>(placeControl(row, parent));
}

} // namespace calmfield::widgets
