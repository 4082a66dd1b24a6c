// The help page the program opens from its folder.

#include <QFile>
#include <QStringDecoder>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace calmfield {
namespace {

class HelpPage : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* folder = std::getenv("CALMFIELD_PROGRAM_DIR");
        ASSERT_NE(folder, nullptr);
        QFile file(QString::fromLocal8Bit(folder) + "/help.htm");
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "help.htm is not in the program's folder";
        source = file.readAll();
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString html = utf8(source);
        ASSERT_FALSE(utf8.hasError()) << "help.htm is not UTF-8";
        QTextDocument page;
        page.setHtml(html);
        shown = page.toPlainText();
    }

    QByteArray source;
    QString shown; // the text a reader sees
};

TEST_F(HelpPage, NamesEveryMenuItemAsItsCaptionReads) {
    for (const char* caption :
         {"Menu", "Load  Config", "Save Config", "Start at Login", "Keep Computer Awake", "Tone…",
          "Drift…", "Routines…", "Exit", "Help", "Contact Us", "About"})
        EXPECT_TRUE(shown.contains(QString::fromUtf8(caption))) << caption;
}

TEST_F(HelpPage, ExplainsEveryControlOfTheMainWindow) {
    for (const char* caption :
         {"Brown Noise", "Pink Noise", "White Noise", "Blue Noise", "Purple Noise", "Volumes",
          "Frequency", "hz", "Panning", "Master Vol", "Mute", "Reset All", "Record", "Tray",
          "Close", "Start in system tray"})
        EXPECT_TRUE(shown.contains(QString::fromLatin1(caption))) << caption;
}

TEST_F(HelpPage, GivesEachColourItsSlopeAndCoversFilesTrayAndRecorder) {
    const QString minus(QChar(0x2212));
    for (const QString& slope :
         {minus + "6 dB", minus + "3 dB", QString("0 dB"), QString("+3 dB"), QString("+6 dB")})
        EXPECT_TRUE(shown.contains(slope)) << slope.toStdString();
    for (const char* topic : {".clm", "settings.ini", "tray", "Show Calmfield", "Right-click",
                              "Stereo Mix", "Stop", "Play", "Save", "home folder"})
        EXPECT_TRUE(shown.contains(QString::fromLatin1(topic))) << topic;
}

TEST_F(HelpPage, ExplainsTheSleepTimerFromTheMenuAndTheCommandLine) {
    for (const char* topic : {"Sleep Timer", "Off", "--sleep 45m", "1h30m", "24 hours"})
        EXPECT_TRUE(shown.contains(QString::fromLatin1(topic))) << topic;
}

TEST_F(HelpPage, ExplainsTheToneWindowAndThatTheNotchIsNoTreatment) {
    for (const char* topic : {"Bands", "Notch", "Centre", "Depth", "Flat", "--flat",
                              "The notch is not a treatment", "hearing professional"})
        EXPECT_TRUE(shown.contains(QString::fromLatin1(topic))) << topic;
}

TEST_F(HelpPage, SaysTheScreenMayStillLockWhileTheComputerIsKeptAwake) {
    EXPECT_TRUE(shown.contains(QStringLiteral("screen may still lock and turn off")));
}

TEST_F(HelpPage, ExplainsRenderingToAFileAndStartingAtLogin) {
    for (const char* topic : {"--render night.flac --length 8h", "--mix", "--rate", ".wav", ".flac",
                              ".ogg", ".opus", "12 seconds", "Ctrl+C", "autostart"})
        EXPECT_TRUE(shown.contains(QString::fromLatin1(topic))) << topic;
}

TEST_F(HelpPage, SaysWhatEachKeyDoes) {
    for (const char* key :
         {"Keyboard", "Return", "Ctrl+Right", "1 dB", "100 hz", "Alt+M", "Alt+H", "F10", "Escape"})
        EXPECT_TRUE(shown.contains(QString::fromUtf8(key))) << key;
}

TEST_F(HelpPage, StandsAloneWithoutScriptsOrOutsideResources) {
    EXPECT_TRUE(source.contains("<meta charset=\"utf-8\">"));
    for (const char* outside : {"<script", "src=", "://", "url(", "@import"})
        EXPECT_FALSE(source.contains(outside)) << outside;
}

} // namespace
} // namespace calmfield
