#include "recorder/windows/TroubleshootingWindow.h"

#include "widgets/LayoutTable.h"
#include "widgets/Twips.h"

#include <QLabel>

namespace calmfield::recorder {
namespace {

using widgets::ControlKind;
using widgets::ControlRow;

enum class Style { plain, bold };

struct Paragraph {
    ControlRow row;
    Style style;
};

// The layout table, in reading order. The uneven spacing and the stray blanks are the text's own.
constexpr Paragraph kParagraphs[] = {
    {{"Label7", ControlKind::Label,
      "When I try to playback my recorded sound in the Sound Recorder, I hear nothing or the "
      "output is very quiet",
      240, 120, 8775, 495},
     Style::bold},
    {{"Label1", ControlKind::Label,
      "After you have recorded your sound, try and replay it in the sound recorder, if you can "
      "hear nothing on playback, check the master volume on the main console is turned up. ",
      240, 600, 8775, 495},
     Style::plain},
    {{"Label2", ControlKind::Label,
      "Try playback again, if you still hear nothing , it is possible that your Stereo wav "
      "recording channel is not activated. To activate it:",
      240, 1200, 8655, 495},
     Style::plain},
    {{"Label3", ControlKind::Label,
      "Click on the speaker icon in your system tray ( If you cannot see it, click audio options "
      "from control panel and click show volume icon in taskbar )",
      240, 1680, 8415, 495},
     Style::plain},
    {{"Label4", ControlKind::Label,
      "Click Options > Properties from the volume control panel. Select the recording option. You "
      "should see a few sliders. Ensure that only the checkbox for Stereo Mix is selected and "
      "that its slider is around half way up.",
      240, 2280, 8775, 495},
     Style::plain},
    {{"Label5", ControlKind::Label,
      "Re-record a sound and test playback. If it now plays okay, save to disk.", 240, 2880, 7695,
      375},
     Style::plain},
    {{"Label6", ControlKind::Label,
      "I can hear my sound playback in the sound recorder, but after saving it will not play  in "
      "Media Player",
      240, 3240, 8175, 495},
     Style::bold},
    {{"Label8", ControlKind::Label,
      "Reopen your saved wav in the WINDOWS sound recorder and resave. Your sound should now play "
      "without a problem.",
      240, 3840, 8535, 375},
     Style::plain},
    {{"Label9", ControlKind::Label, "Where is the windows sound recorder?", 240, 4200, 6135, 255},
     Style::bold},
    {{"Label10", ControlKind::Label, "Start menu > Programs > Accessories > Entertainment.", 240,
      4560, 7455, 255},
     Style::plain},
};

} // namespace

TroubleshootingWindow::TroubleshootingWindow(QWidget* parent)
    : widgets::InformationWindow(QStringLiteral("Troubleshooting Recording Problems"),
                                 {widgets::pixels(8985), widgets::pixels(4965)}, parent) {
    setObjectName(QStringLiteral("Form14"));
    for (const Paragraph& paragraph : kParagraphs) {
        auto* shown = widgets::placeControl<QLabel>(paragraph.row, this);
        shown->setWordWrap(true);
        if (paragraph.style == Style::bold) {
            QFont heading = shown->font();
            heading.setBold(true);
            shown->setFont(heading);
        }
    }
}

} // namespace calmfield::recorder
