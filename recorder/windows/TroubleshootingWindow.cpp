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

// The layout table, in reading order: three questions in bold, each with its answers below.
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
      "Try playback again. If you still hear nothing, check what is recorded: the recorder takes "
      "what your speakers play, from the monitor of the default output. To check it:",
      240, 1200, 8655, 495},
     Style::plain},
    {{"Label3", ControlKind::Label,
      "Open the desktop's sound settings. Make sure that the output you listen to is the default "
      "one, that it is not muted and that its volume is turned up.",
      240, 1680, 8415, 495},
     Style::plain},
    {{"Label4", ControlKind::Label,
      "To record another output, open a mixer such as pavucontrol while recording. On its "
      "Recording tab, move Calmfield's \"Recording\" stream to the monitor of that output.",
      240, 2280, 8775, 495},
     Style::plain},
    {{"Label5", ControlKind::Label,
      "Re-record a sound and test playback. If it now plays okay, save to disk.", 240, 2880, 7695,
      375},
     Style::plain},
    {{"Label6", ControlKind::Label,
      "I can hear my sound playback in the sound recorder, but after saving it will not play in my "
      "music player",
      240, 3240, 8175, 495},
     Style::bold},
    {{"Label8", ControlKind::Label,
      "Saved sounds are ordinary WAV files that every music player and sound editor opens.", 240,
      3840, 8535, 375},
     Style::plain},
    {{"Label9", ControlKind::Label, "Where is my saved sound?", 240, 4200, 6135, 255}, Style::bold},
    {{"Label10", ControlKind::Label,
      "In your home folder, under the name you typed and .wav, such as ~/rain.wav.", 240, 4560,
      7455, 255},
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
