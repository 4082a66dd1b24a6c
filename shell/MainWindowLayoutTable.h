#pragma once

// The main window's layout: each control's object name, kind, caption and place in twips within
// its frame or the client area, and the menus' object names and captions.

#include "engine/NoiseColours.h"
#include "widgets/LayoutTable.h"

#include <array>

namespace calmfield::shell::layout {

using widgets::ControlKind;
using widgets::ControlRow;
using PerColour = std::array<ControlRow, engine::kColourCount>;

inline constexpr char kWindowName[] = "Form1";
inline constexpr char kCaption[] = "Calmfieldv2.0";
inline constexpr char kFileDialogName[] = "CommonDialog1"; // chooses configuration files
inline constexpr int kClientWidth = 8310, kClientHeight = 5040;

// On the client area.
inline constexpr ControlRow kColoursFrame{
    "Frame1", ControlKind::Frame, "Sound Color", 120, 120, 2295, 2295};
inline constexpr PerColour kColourToggles{{
    {"Check1", ControlKind::CheckBox, "Brown Noise", 360, 480, 1815, 255},
    {"Check2", ControlKind::CheckBox, "Pink Noise", 360, 840, 1815, 255},
    {"Check3", ControlKind::CheckBox, "White Noise", 360, 1200, 1455, 255},
    {"Check4", ControlKind::CheckBox, "Blue Noise", 360, 1560, 1815, 255},
    {"Check5", ControlKind::CheckBox, "Purple Noise", 360, 1920, 1695, 255},
}};
inline constexpr ControlRow kVolumesFrame{"Frame2", ControlKind::Frame, "Volumes", 2520, 120, 2295,
                                          2295};
inline constexpr ControlRow kFrequencyFrame{
    "Frame3", ControlKind::Frame, "Frequency", 4920, 120, 3255, 2295};
inline constexpr ControlRow kColourPicture{"Picture1", ControlKind::Picture, "", 120, 2520, 4695,
                                           2055};
inline constexpr ControlRow kResetFrame{"Frame5", ControlKind::Frame, "", 4920, 3360, 3255, 1215};
inline constexpr ControlRow kOptionsFrame{"Frame4", ControlKind::Frame, "Options", 4920, 2520, 3255,
                                          975};
inline constexpr ControlRow kRecordButton{
    "Command3", ControlKind::SmallButton, "Record", 5160, 3720, 855, 255};
inline constexpr ControlRow kMuteButton{
    "Command4", ControlKind::SmallButton, "Mute", 6120, 3720, 855, 255};
inline constexpr ControlRow kTrayButton{
    "Command2", ControlKind::SmallButton, "Tray", 7080, 3720, 855, 255};
inline constexpr ControlRow kCloseButton{
    "Command1", ControlKind::SmallButton, "Close", 7320, 4680, 855, 255};
inline constexpr ControlRow kPanningLabel{"Label4", ControlKind::Label, "Panning", 240, 4680, 615,
                                          195};
inline constexpr ControlRow kPanningSlider{"HScroll1", ControlKind::Slider, "", 840, 4680, 1395,
                                           255};
inline constexpr ControlRow kMasterVolumeLabel{
    "Label5", ControlKind::Label, "Master Vol", 2520, 4680, 750, 195};
inline constexpr ControlRow kMasterVolumeSlider{
    "HScroll2", ControlKind::Slider, "", 3360, 4680, 1395, 255};

// In the "Volumes" frame.
inline constexpr PerColour kVolumeSliders{{
    {"HScroll3", ControlKind::Slider, "", 240, 360, 1815, 255},
    {"HScroll4", ControlKind::Slider, "", 240, 720, 1815, 255},
    {"HScroll5", ControlKind::Slider, "", 240, 1080, 1815, 255},
    {"HScroll6", ControlKind::Slider, "", 240, 1440, 1815, 255},
    {"HScroll7", ControlKind::Slider, "", 240, 1800, 1815, 255},
}};

// In the "Frequency" frame; the "hz" units are numbered 0 on the top row, then 4 to 1 downwards.
inline constexpr PerColour kFrequencySliders{{
    {"HScroll8", ControlKind::Slider, "", 240, 360, 1815, 255},
    {"HScroll9", ControlKind::Slider, "", 240, 720, 1815, 255},
    {"HScroll10", ControlKind::Slider, "", 240, 1080, 1815, 255},
    {"HScroll11", ControlKind::Slider, "", 240, 1440, 1815, 255},
    {"HScroll12", ControlKind::Slider, "", 240, 1800, 1815, 255},
}};
inline constexpr PerColour kFrequencyReadouts{{
    {"Label1", ControlKind::Label, "", 2280, 360, 495, 255},
    {"Label2", ControlKind::Label, "", 2280, 720, 495, 255},
    {"Label3", ControlKind::Label, "", 2280, 1080, 495, 255},
    {"Label6", ControlKind::Label, "", 2280, 1440, 495, 255},
    {"Label7", ControlKind::Label, "", 2280, 1800, 495, 255},
}};
inline constexpr PerColour kHzLabels{{
    {"Label8(0)", ControlKind::Label, "hz", 2760, 360, 375, 255},
    {"Label8(4)", ControlKind::Label, "hz", 2760, 720, 375, 255},
    {"Label8(3)", ControlKind::Label, "hz", 2760, 1080, 375, 255},
    {"Label8(2)", ControlKind::Label, "hz", 2760, 1440, 375, 255},
    {"Label8(1)", ControlKind::Label, "hz", 2760, 1800, 375, 255},
}};

// In the frame under "Options", and in "Options".
inline constexpr ControlRow kResetAllButton{
    "Command6", ControlKind::WideButton, "Reset All", 240, 720, 2775, 255};
inline constexpr ControlRow kStartInTrayBox{
    "Check6", ControlKind::CheckBox, "Start in system tray", 240, 480, 2775, 255};

// The hidden timer that sends the window to the tray after start-up.
inline constexpr char kStartInTrayTimerName[] = "Timer5";

// The menus: the object name and the caption, in UTF-8, of each; a separator has no caption.
struct MenuRow {
    const char* name;
    const char* caption;
};
inline constexpr MenuRow kMainMenu{"m", "Menu"};
inline constexpr MenuRow kLoadItem{"load", "Load  Config"};
inline constexpr MenuRow kSaveItem{"save", "Save Config"};
inline constexpr MenuRow kStartAtLoginItem{"startAtLogin", "Start at Login"};
inline constexpr MenuRow kKeepAwakeItem{"keepAwake", "Keep Computer Awake"};
inline constexpr char kKeepAwakeRefusedCaption[] = "Keep Computer Awake (refused by this desktop)";
inline constexpr MenuRow kToneItem{"tone", "Tone…"};
inline constexpr MenuRow kDriftItem{"drift", "Drift…"};
inline constexpr MenuRow kRoutinesItem{"routines", "Routines…"};
inline constexpr MenuRow kExitSeparator{"sep", ""};
inline constexpr MenuRow kExitItem{"exit", "Exit"};
inline constexpr MenuRow kHelpMenu{"help", "Help"};
inline constexpr MenuRow kHelpItem{"help2", "Help"};
inline constexpr MenuRow kContactItem{"jhg", "Contact Us"};
inline constexpr MenuRow kAboutSeparator{"sep2", ""};
inline constexpr MenuRow kAboutItem{"about", "About"};

} // namespace calmfield::shell::layout
