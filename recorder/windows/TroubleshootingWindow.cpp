#include "recorder/windows/TroubleshootingWindow.h"

#include "widgets/Twips.h"

namespace calmfield::recorder {
namespace {

constexpr int kLeft = 240;

enum class Style { plain, bold };

QLabel* paragraph(const char* name, const char* text, int top, int width, int height, Style style,
                  QWidget* container) {
    auto* shown = new QLabel(QString::fromLatin1(text), container);
    shown->setObjectName(QLatin1String(name));
    shown->setGeometry(widgets::twipsRect(kLeft, top, width, height));
    shown->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    shown->setWordWrap(true);
    if (style == Style::bold) {
        QFont heading = shown->font();
        heading.setBold(true);
        shown->setFont(heading);
    }
    return shown;
}

} // namespace

TroubleshootingWindow::TroubleshootingWindow(QWidget* parent)
    : widgets::InformationWindow(QStringLiteral("Troubleshooting Recording Problems"),
                                 {widgets::pixels(8985), widgets::pixels(4965)}, parent) {
    Label7 = paragraph("Label7",
                       "When I try to playback my recorded sound in the Sound Recorder, I hear "
                       "nothing or the output is very quiet",
                       120, 8775, 495, Style::bold, this);
    Label1 = paragraph("Label1",
                       "After you have recorded your sound, try and replay it in the sound "
                       "recorder, if you can hear nothing on playback, check the master volume on "
                       "the main console is turned up. ",
                       600, 8775, 495, Style::plain, this);
    Label2 = paragraph("Label2",
                       "Try playback again, if you still hear nothing , it is possible that your "
                       "Stereo wav recording channel is not activated. To activate it:",
                       1200, 8655, 495, Style::plain, this);
    Label3 = paragraph("Label3",
                       "Click on the speaker icon in your system tray ( If you cannot see it, "
                       "click audio options from control panel and click show volume icon in "
                       "taskbar )",
                       1680, 8415, 495, Style::plain, this);
    Label4 = paragraph("Label4",
                       "Click Options > Properties from the volume control panel. Select the "
                       "recording option. You should see a few sliders. Ensure that only the "
                       "checkbox for Stereo Mix is selected and that its slider is around half "
                       "way up.",
                       2280, 8775, 495, Style::plain, this);
    Label5 = paragraph("Label5",
                       "Re-record a sound and test playback. If it now plays okay, save to disk.",
                       2880, 7695, 375, Style::plain, this);
    Label6 = paragraph("Label6",
                       "I can hear my sound playback in the sound recorder, but after saving it "
                       "will not play  in Media Player",
                       3240, 8175, 495, Style::bold, this);
    Label8 = paragraph("Label8",
                       "Reopen your saved wav in the WINDOWS sound recorder and resave. Your sound "
                       "should now play without a problem.",
                       3840, 8535, 375, Style::plain, this);
    Label9 = paragraph("Label9", "Where is the windows sound recorder?", 4200, 6135, 255,
                       Style::bold, this);
    Label10 = paragraph("Label10", "Start menu > Programs > Accessories > Entertainment.", 4560,
                        7455, 255, Style::plain, this);
}

} // namespace calmfield::recorder
