#pragma once

#include "tests/support/NamedControl.h"
#include "widgets/GraphicalButton.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

// The recorder's controls by role, found by their names in the windows' layout tables.
namespace calmfield::testsupport {

using testsupport::named;
using Button = widgets::GraphicalButton;

// The recorder window.
inline QMenu* qualityMenu(const QObject* form) {
    return named<QMenu>(form, "Quality");
}
inline QAction* lowQuality(const QObject* form) {
    return named<QAction>(form, "low");
}
inline QAction* mediumQuality(const QObject* form) {
    return named<QAction>(form, "med");
}
inline QAction* highQuality(const QObject* form) {
    return named<QAction>(form, "high");
}
inline QGroupBox* informationFrame(const QObject* form) {
    return named<QGroupBox>(form, "Frame3");
}
inline QLabel* informationReadout(const QObject* form) {
    return named<QLabel>(form, "Label3");
}
inline QGroupBox* statusFrame(const QObject* form) {
    return named<QGroupBox>(form, "Frame2");
}
inline QLineEdit* elapsedReadout(const QObject* form) {
    return named<QLineEdit>(form, "Text1");
}
inline QLabel* modeReadout(const QObject* form) {
    return named<QLabel>(form, "Label1");
}
inline QLineEdit* outOfSightBox(const QObject* form) {
    return named<QLineEdit>(form, "Text2");
}
inline Button* resetButton(const QObject* form) {
    return named<Button>(form, "Command1");
}
inline Button* recordButton(const QObject* form) {
    return named<Button>(form, "Command2");
}
inline Button* stopButton(const QObject* form) {
    return named<Button>(form, "Command3");
}
inline Button* playButton(const QObject* form) {
    return named<Button>(form, "Command4");
}
inline Button* saveButton(const QObject* form) {
    return named<Button>(form, "Command5");
}
inline Button* helpButton(const QObject* form) {
    return named<Button>(form, "Command6");
}
inline QTimer* modePoll(const QObject* form) {
    return named<QTimer>(form, "Timer1");
}
inline QTimer* sizePoll(const QObject* form) {
    return named<QTimer>(form, "Timer2");
}
inline QTimer* elapsedClock(const QObject* form) {
    return named<QTimer>(form, "Timer3");
}

// The save-name dialog.
inline QLabel* prompt(const QObject* dialog) {
    return named<QLabel>(dialog, "Label1");
}
inline QLineEdit* nameBox(const QObject* dialog) {
    return named<QLineEdit>(dialog, "Text1");
}
inline QPushButton* saveNameButton(const QObject* dialog) {
    return named<QPushButton>(dialog, "Command1");
}

} // namespace calmfield::testsupport
