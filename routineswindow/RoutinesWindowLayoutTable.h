#pragma once

// The routines window's layout: each control's object name, kind, caption and place in twips
// within its frame or the client area.

#include "widgets/LayoutTable.h"

#include <array>

namespace calmfield::routineswindow::layout {

using widgets::ControlKind;
using widgets::ControlRow;
// Monday to Sunday.
using PerDay = std::array<ControlRow, 7>;

inline constexpr char kWindowName[] = "routinesWindow";
inline constexpr char kCaption[] = "Routines";
inline constexpr int kClientWidth = 8430, kClientHeight = 8115;

// Where mixes for routines are chosen.
inline constexpr char kFileDialogName[] = "routineMixDialog";

// On the client area.
inline constexpr ControlRow kListFrame{"listFrame", ControlKind::Frame, "Routines", 120, 120, 8190,
                                       2400};
inline constexpr ControlRow kRoutineFrame{
    "routineFrame", ControlKind::Frame, "Chosen Routine", 120, 2640, 8190, 2520};
inline constexpr ControlRow kNextFrame{"nextFrame", ControlKind::Frame, "Next", 120, 5280, 8190,
                                       1860};
inline constexpr ControlRow kButtonsFrame{
    "buttonsFrame", ControlKind::Frame, "", 120, 7260, 8190, 735};

// In the "Routines" frame.
inline constexpr ControlRow kRoutinesList{
    "routinesList", ControlKind::ListBox, "On|Days|Start|End|Mix", 240, 360, 7710, 1440};
inline constexpr ControlRow kAddButton{"addButton", ControlKind::SmallButton, "Add", 240, 1920, 855,
                                       255};
inline constexpr ControlRow kRemoveButton{
    "removeButton", ControlKind::SmallButton, "Remove", 1200, 1920, 855, 255};

// In the "Chosen Routine" frame.
inline constexpr ControlRow kOnBox{"onBox", ControlKind::CheckBox, "On", 240, 360, 855, 255};
inline constexpr ControlRow kDaysCaption{
    "daysCaption", ControlKind::Label, "Days", 240, 750, 585, 195};
inline constexpr PerDay kDayBoxes{{
    {"mondayBox", ControlKind::CheckBox, "Mon", 960, 720, 855, 255},
    {"tuesdayBox", ControlKind::CheckBox, "Tue", 1860, 720, 855, 255},
    {"wednesdayBox", ControlKind::CheckBox, "Wed", 2760, 720, 855, 255},
    {"thursdayBox", ControlKind::CheckBox, "Thu", 3660, 720, 855, 255},
    {"fridayBox", ControlKind::CheckBox, "Fri", 4560, 720, 855, 255},
    {"saturdayBox", ControlKind::CheckBox, "Sat", 5460, 720, 855, 255},
    {"sundayBox", ControlKind::CheckBox, "Sun", 6360, 720, 855, 255},
}};
inline constexpr ControlRow kStartCaption{
    "startCaption", ControlKind::Label, "Start", 240, 1170, 585, 195};
inline constexpr ControlRow kStartBox{"startBox", ControlKind::TimeBox, "", 960, 1110, 900, 315};
inline constexpr ControlRow kEndCaption{"endCaption", ControlKind::Label, "End", 2160, 1170, 495,
                                        195};
inline constexpr ControlRow kEndBox{"endBox", ControlKind::TimeBox, "", 2760, 1110, 900, 315};
inline constexpr ControlRow kUntilStoppedBox{
    "untilStoppedBox", ControlKind::CheckBox, "Until stopped", 3960, 1140, 1815, 255};
inline constexpr ControlRow kRiseCaption{
    "riseCaption", ControlKind::Label, "Rise", 240, 1620, 585, 195};
inline constexpr ControlRow kRiseSlider{"riseSlider", ControlKind::Slider, "", 960, 1590, 1575,
                                        255};
inline constexpr ControlRow kRiseReadout{
    "riseReadout", ControlKind::Label, "", 2640, 1590, 1095, 255};
inline constexpr ControlRow kFallCaption{
    "fallCaption", ControlKind::Label, "Fall", 4080, 1620, 585, 195};
inline constexpr ControlRow kFallSlider{"fallSlider", ControlKind::Slider, "", 4680, 1590, 1575,
                                        255};
inline constexpr ControlRow kFallReadout{
    "fallReadout", ControlKind::Label, "", 6360, 1590, 1095, 255};
inline constexpr ControlRow kMixCaption{"mixCaption", ControlKind::Label, "Mix", 240, 2070, 585,
                                        195};
inline constexpr ControlRow kPlayingMixButton{
    "playingMixButton", ControlKind::RadioButton, "The mix that plays", 960, 2040, 2055, 255};
inline constexpr ControlRow kFileMixButton{
    "fileMixButton", ControlKind::RadioButton, "File", 3120, 2040, 735, 255};
inline constexpr ControlRow kMixReadout{"mixReadout", ControlKind::Label, "", 3960, 2040, 2775,
                                        255};
inline constexpr ControlRow kChooseButton{
    "chooseButton", ControlKind::SmallButton, "Choose…", 6840, 2040, 1095, 255};

// In the "Next" frame.
inline constexpr ControlRow kNextReadout{
    "nextReadout", ControlKind::Label, "", 240, 360, 7710, 255};
inline constexpr ControlRow kNotesLabel{"notesLabel", ControlKind::Label, "", 240, 720, 7710, 675};
inline constexpr ControlRow kStartAtLoginBox{
    "startAtLoginBox", ControlKind::CheckBox, "Start at Login", 240, 1440, 1815, 255};

// In the frame along the bottom.
inline constexpr ControlRow kCloseButton{
    "closeButton", ControlKind::SmallButton, "Close", 7095, 240, 855, 255};

} // namespace calmfield::routineswindow::layout
