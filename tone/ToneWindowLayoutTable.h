#pragma once

// The tone window's layout: each control's object name, kind, caption and place in twips within
// its frame or the client area.

#include "engine/ToneSetting.h"
#include "widgets/LayoutTable.h"

#include <array>

namespace calmfield::tone::layout {

using widgets::ControlKind;
using widgets::ControlRow;
using PerBand = std::array<ControlRow, engine::ToneSetting::kBandCount>;

inline constexpr char kWindowName[] = "toneWindow";
inline constexpr char kCaption[] = "Tone";
inline constexpr int kClientWidth = 7470, kClientHeight = 4215;

// On the client area.
inline constexpr ControlRow kBandsFrame{"bandsFrame", ControlKind::Frame, "Bands", 120, 120, 3855,
                                        3975};
inline constexpr ControlRow kNotchFrame{
    "notchFrame", ControlKind::Frame, "Notch Filter", 4095, 120, 3255, 2295};
inline constexpr ControlRow kButtonsFrame{
    "buttonsFrame", ControlKind::Frame, "", 4095, 2520, 3255, 1575};

// In the "Bands" frame, one row a band from the lowest up: its centre, its slider and its gain.
inline constexpr PerBand kBandCaptions{{
    {"bandCaption0", ControlKind::Label, "31.5 Hz", 240, 360, 675, 195},
    {"bandCaption1", ControlKind::Label, "63 Hz", 240, 720, 675, 195},
    {"bandCaption2", ControlKind::Label, "125 Hz", 240, 1080, 675, 195},
    {"bandCaption3", ControlKind::Label, "250 Hz", 240, 1440, 675, 195},
    {"bandCaption4", ControlKind::Label, "500 Hz", 240, 1800, 675, 195},
    {"bandCaption5", ControlKind::Label, "1 kHz", 240, 2160, 675, 195},
    {"bandCaption6", ControlKind::Label, "2 kHz", 240, 2520, 675, 195},
    {"bandCaption7", ControlKind::Label, "4 kHz", 240, 2880, 675, 195},
    {"bandCaption8", ControlKind::Label, "8 kHz", 240, 3240, 675, 195},
    {"bandCaption9", ControlKind::Label, "16 kHz", 240, 3600, 675, 195},
}};
inline constexpr PerBand kBandSliders{{
    {"bandSlider0", ControlKind::Slider, "", 960, 360, 1815, 255},
    {"bandSlider1", ControlKind::Slider, "", 960, 720, 1815, 255},
    {"bandSlider2", ControlKind::Slider, "", 960, 1080, 1815, 255},
    {"bandSlider3", ControlKind::Slider, "", 960, 1440, 1815, 255},
    {"bandSlider4", ControlKind::Slider, "", 960, 1800, 1815, 255},
    {"bandSlider5", ControlKind::Slider, "", 960, 2160, 1815, 255},
    {"bandSlider6", ControlKind::Slider, "", 960, 2520, 1815, 255},
    {"bandSlider7", ControlKind::Slider, "", 960, 2880, 1815, 255},
    {"bandSlider8", ControlKind::Slider, "", 960, 3240, 1815, 255},
    {"bandSlider9", ControlKind::Slider, "", 960, 3600, 1815, 255},
}};
inline constexpr PerBand kBandReadouts{{
    {"bandReadout0", ControlKind::Label, "", 2880, 360, 735, 255},
    {"bandReadout1", ControlKind::Label, "", 2880, 720, 735, 255},
    {"bandReadout2", ControlKind::Label, "", 2880, 1080, 735, 255},
    {"bandReadout3", ControlKind::Label, "", 2880, 1440, 735, 255},
    {"bandReadout4", ControlKind::Label, "", 2880, 1800, 735, 255},
    {"bandReadout5", ControlKind::Label, "", 2880, 2160, 735, 255},
    {"bandReadout6", ControlKind::Label, "", 2880, 2520, 735, 255},
    {"bandReadout7", ControlKind::Label, "", 2880, 2880, 735, 255},
    {"bandReadout8", ControlKind::Label, "", 2880, 3240, 735, 255},
    {"bandReadout9", ControlKind::Label, "", 2880, 3600, 735, 255},
}};

// In the "Notch Filter" frame.
inline constexpr ControlRow kNotchBox{"notchBox", ControlKind::CheckBox, "Notch", 240, 360, 1815,
                                      255};
inline constexpr ControlRow kCentreCaption{
    "notchCentreCaption", ControlKind::Label, "Centre", 240, 1080, 585, 195};
inline constexpr ControlRow kCentreSlider{
    "notchCentreSlider", ControlKind::Slider, "", 840, 1080, 1395, 255};
inline constexpr ControlRow kCentreReadout{
    "notchCentreReadout", ControlKind::Label, "", 2280, 1080, 855, 255};
inline constexpr ControlRow kDepthCaption{
    "notchDepthCaption", ControlKind::Label, "Depth", 240, 1800, 585, 195};
inline constexpr ControlRow kDepthSlider{
    "notchDepthSlider", ControlKind::Slider, "", 840, 1800, 1395, 255};
inline constexpr ControlRow kDepthReadout{
    "notchDepthReadout", ControlKind::Label, "", 2280, 1800, 855, 255};

// In the frame under "Notch Filter".
inline constexpr ControlRow kFlatButton{
    "flatButton", ControlKind::WideButton, "Flat", 240, 360, 2775, 255};
inline constexpr ControlRow kCloseButton{
    "closeButton", ControlKind::SmallButton, "Close", 2160, 1080, 855, 255};

} // namespace calmfield::tone::layout
