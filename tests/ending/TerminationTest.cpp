#include "MainWindowFixture.h"

#include "ending/TerminationRequests.h"
#include "ending/TerminationSignals.h"
#include "info/AboutWindow.h"
#include "widgets/MessageBoxSink.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <thread>

namespace calmfield {
namespace {

using namespace calmfield::testsupport;

using testsupport::contentOf;
using testsupport::waitUntil;
using widgets::CheckBox;

TEST(TerminationSignals, ComeThroughTheEventLoopAndGiveBackTheHandlersTheyHad) {
    // Ignored from the start, as for a program run in the background of a script.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction before {};
    ASSERT_EQ(::sigaction(SIGINT, &ignore, &before), 0);
    {
        ending::TerminationSignals terminating;
        // A second one while the first exists takes nothing away from it.
        { ending::TerminationSignals second; }
        std::vector<int> received;
        QObject::connect(&terminating, &ending::TerminationSignals::received,
                         [&](int number) { received.push_back(number); });
        for (int number : ending::TerminationSignals::kSignals)
            ASSERT_EQ(::raise(number), 0);
        EXPECT_TRUE(waitUntil([&] { return received.size() == 2; }));
        EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGHUP}));
    }
    ::sigaction(SIGINT, &before, nullptr);
    struct sigaction after {};
    ::sigaction(SIGTERM, nullptr, &after);
    EXPECT_EQ(after.sa_handler, SIG_DFL);
}

TEST(TerminationSignals, EndTheProgramBySignalWhenItsEventLoopIsStuck) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ending::TerminationSignals terminating;
        ::close(ready[1]);
        for (;;)
            ::pause(); // as a load that never returns keeps the event loop from running
    }
    ::close(ready[1]);
    char end = 0;
    ASSERT_EQ(::read(ready[0], &end, 1), 0);
    ::close(ready[0]);
    ::kill(child, SIGTERM);
    int status = 0;
    for (int waited = 0; ::waitpid(child, &status, WNOHANG) == 0 && waited < 300; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (::waitpid(child, nullptr, WNOHANG) == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        FAIL() << "still running 3 s after SIGTERM";
    }
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
}

using TerminationRequests = testsupport::MainWindowFixture;

TEST_F(TerminationRequests, CloseEveryWindowOnceAsExitDoesEvenFromTheTrayOrADialog) {
    colourToggles(form)[1]->setValue(CheckBox::kOn);
    volumeSliders(form)[1]->setValue(-1234);
    aboutAction(form)->trigger();
    trayButton(form)->click();
    ASSERT_FALSE(form->isVisible());

    // Asked while a dialog waits for a user who is not there.
    QDialog question;
    QTimer::singleShot(0, &question, [&] { run->termination().request(); });
    QTimer::singleShot(5000, &question, &QDialog::accept); // only if nothing dismissed it
    EXPECT_EQ(question.exec(), QDialog::Rejected);
    const QByteArray saved = "0,1,0,0,0,0,-1234,0,0,0,32000,32000,32000,32000,32000,0\r\n";
    EXPECT_EQ(contentOf(folder / "settings.ini"), saved);
    EXPECT_EQ(trayIcon(form), nullptr);
    EXPECT_FALSE(channel(1).isPlaying());
    EXPECT_FALSE(windows->aboutWindow()->isVisible());
    EXPECT_EQ(stoppedWaiting, 1);
    EXPECT_EQ(programEndings, 1);

    // Another request, as when SIGHUP follows SIGTERM, finds nothing left to close or save.
    colourToggles(form)[1]->setValue(CheckBox::kOff);
    run->termination().request();
    EXPECT_EQ(contentOf(folder / "settings.ini"), saved);
    EXPECT_EQ(programEndings, 1);
}

TEST(UnattendedMessages, GoToTheErrorStreamAndQuestionsAreAnsweredNo) {
    widgets::MessageBoxSink sink;
    sink.stopWaitingForTheUser();
    bool boxShown = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            boxShown = true;
            box->close();
        }
    });
    closer.start(50);
    ::testing::internal::CaptureStderr();
    sink.showMessage("Calmfield could not save its settings.");
    const bool answer = sink.askYesNo("Shall it?");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Calmfield: Calmfield could not save its settings.\n");
    EXPECT_FALSE(answer);
    EXPECT_FALSE(boxShown);
}

} // namespace
} // namespace calmfield
