#pragma once

// The drift window's layout: each control's object name, kind, caption and place in twips within
// its frame or the client area.

#include "engine/NoiseColours.h"
#include "widgets/LayoutTable.h"

#include <array>

namespace calmfield::drift::layout {

using widgets::ControlKind;
using widgets::ControlRow;
using PerColour = std::array<ControlRow, engine::kColourCount>;
// Slow, Medium and Fast, in the order of engine::DriftSpeed.
using PerSpeed = std::array<ControlRow, 3>;

inline constexpr char kWindowName[] = "driftWindow";
inline constexpr char kCaption[] = "Drift";
inline constexpr int kClientWidth = 7470, kClientHeight = 3270;

// The timer that shows the levels anew while they drift.
inline constexpr char kLevelsTimerName[] = "levelsTimer";

// On the client area.
inline constexpr ControlRow kDriftFrame{
    "driftFrame", ControlKind::Frame, "Level Drift", 120, 120, 3855, 2175};
inline constexpr ControlRow kLevelsFrame{
    "levelsFrame", ControlKind::Frame, "Levels Now", 4095, 120, 3255, 2175};
inline constexpr ControlRow kButtonsFrame{
    "buttonsFrame", ControlKind::Frame, "", 120, 2415, 7230, 735};

// In the "Level Drift" frame.
inline constexpr ControlRow kDriftBox{"driftBox", ControlKind::CheckBox, "Drift", 240, 360, 1815,
                                      255};
inline constexpr ControlRow kDepthCaption{
    "depthCaption", ControlKind::Label, "Depth", 240, 960, 585, 195};
inline constexpr ControlRow kDepthSlider{
    "depthSlider", ControlKind::Slider, "", 840, 960, 1815, 255};
inline constexpr ControlRow kDepthReadout{
    "depthReadout", ControlKind::Label, "", 2760, 960, 855, 255};
inline constexpr ControlRow kSpeedCaption{
    "speedCaption", ControlKind::Label, "Speed", 240, 1560, 585, 195};
inline constexpr PerSpeed kSpeedButtons{{
    {"slowButton", ControlKind::RadioButton, "Slow", 840, 1560, 855, 255},
    {"mediumButton", ControlKind::RadioButton, "Medium", 1740, 1560, 1035, 255},
    {"fastButton", ControlKind::RadioButton, "Fast", 2820, 1560, 855, 255},
}};

// In the "Levels Now" frame, one row a colour: its name and its level as it sounds now.
inline constexpr PerColour kLevelCaptions{{
    {"levelCaption0", ControlKind::Label, "Brown", 240, 360, 855, 195},
    {"levelCaption1", ControlKind::Label, "Pink", 240, 705, 855, 195},
    {"levelCaption2", ControlKind::Label, "White", 240, 1050, 855, 195},
    {"levelCaption3", ControlKind::Label, "Blue", 240, 1395, 855, 195},
    {"levelCaption4", ControlKind::Label, "Purple", 240, 1740, 855, 195},
}};
inline constexpr PerColour kLevelReadouts{{
    {"levelReadout0", ControlKind::Label, "", 1200, 360, 1095, 255},
    {"levelReadout1", ControlKind::Label, "", 1200, 705, 1095, 255},
    {"levelReadout2", ControlKind::Label, "", 1200, 1050, 1095, 255},
    {"levelReadout3", ControlKind::Label, "", 1200, 1395, 1095, 255},
    {"levelReadout4", ControlKind::Label, "", 1200, 1740, 1095, 255},
}};

// In the frame along the bottom.
inline constexpr ControlRow kNewPathButton{
    "newPathButton", ControlKind::WideButton, "New Path", 240, 240, 2775, 255};
inline constexpr ControlRow kCloseButton{
    "closeButton", ControlKind::SmallButton, "Close", 6135, 240, 855, 255};

} // namespace calmfield::drift::layout
