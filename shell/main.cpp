#include "platform/ProgramFolder.h"
#include "platform/PulseSoundOutput.h"
#include "platform/RecordingSystemMixer.h"
#include "shell/DialogFont.h"
#include "shell/Form1.h"
#include "shell/MessageBoxSink.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    using namespace calmfield;
    QApplication application(argc, argv);
    QApplication::setFont(shell::dialogFont(QApplication::font()));

    platform::PulseSoundOutput output;
    platform::RecordingSystemMixer mixer;
    shell::MessageBoxSink messages;
    shell::Form1 window(output, mixer, platform::programFolder(), messages);
    window.show();
    window.Initialise();
    window.PlaySound();
    return application.exec();
}
