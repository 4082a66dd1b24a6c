#include "MainWindowFixture.h"

#include "ending/ProgramEnding.h"

#include <QDialog>
#include <QTimer>

namespace calmfield {
namespace {

using testsupport::waitUntil;

TEST(ProgramEnding, EndsAtOnceWhenNoDialogIsOpen) {
    int endings = 0;
    ending::endProgramOnceNoDialogIsOpen([&] { ++endings; });
    EXPECT_TRUE(waitUntil([&] { return endings > 0; }));
    waitUntil([] { return false; }, std::chrono::milliseconds(150));
    EXPECT_EQ(endings, 1);
}

TEST(ProgramEnding, WaitsForTheOpenDialogToBeClosed) {
    QDialog message;
    int endings = 0;
    bool endedWhileOpen = false;
    QTimer::singleShot(0, &message, [&] {
        ending::endProgramOnceNoDialogIsOpen([&] {
            ++endings;
            endedWhileOpen = message.isVisible();
        });
        QTimer::singleShot(350, &message, &QDialog::accept); // the user reads, then clicks OK
    });
    message.exec();
    EXPECT_EQ(endings, 0);
    EXPECT_TRUE(waitUntil([&] { return endings > 0; }));
    EXPECT_FALSE(endedWhileOpen);
    EXPECT_EQ(endings, 1);
}

// Shows each message in a modal dialog that the user closes after a while.
class ModalMessages final : public session::MessageSink {
  public:
    void showMessage(const QString& text) override {
        QDialog box;
        box.setWindowTitle(text);
        // Read once closed: the event loop may run on between then and exec() returning.
        QObject::connect(&box, &QDialog::finished, [&] { shown.append(text); });
        QTimer::singleShot(300, &box, &QDialog::accept);
        box.exec();
    }
    bool askYesNo(const QString& question) override {
        ADD_FAILURE() << "the main window asked: " << question.toStdString();
        return false;
    }
    QStringList shown;
};

// The main window as the program runs it: the program really ends when its last window closes,
// and messages wait for the user.
class ClosingTheLastWindow : public testsupport::MainWindowFixture {
  protected:
    ClosingTheLastWindow() {
        startAgain({.messages = &modalMessages, .endProgram = [this] {
                        ending::endProgramOnceNoDialogIsOpen([this] {
                            ++realEndings;
                            endedBeforeTheMessageWasRead = modalMessages.shown.isEmpty();
                        });
                    }});
    }

    // The run tells its messages here, so it goes first.
    ~ClosingTheLastWindow() override { run.reset(); }

    ModalMessages modalMessages;
    int realEndings = 0;
    bool endedBeforeTheMessageWasRead = false;
};

TEST_F(ClosingTheLastWindow, LetsTheUserReadThatTheSettingsCouldNotBeSaved) {
    std::filesystem::create_directories(folder / "settings.ini");
    std::filesystem::remove_all(userFolder.parent_path());
    testsupport::putFile(userFolder.parent_path(), "a plain file");
    form->close();
    ASSERT_EQ(modalMessages.shown.size(), 1);
    EXPECT_TRUE(modalMessages.shown[0].startsWith("Calmfield could not save its settings"));
    EXPECT_TRUE(waitUntil([&] { return realEndings > 0; }));
    EXPECT_EQ(realEndings, 1);
    EXPECT_FALSE(endedBeforeTheMessageWasRead);
}

} // namespace
} // namespace calmfield
