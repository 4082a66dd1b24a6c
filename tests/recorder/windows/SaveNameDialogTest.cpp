#include "recorder/windows/SaveNameDialog.h"
#include "QtPrinting.h"
#include "RecorderControls.h"
#include "ScriptedCommandStrings.h"
#include "tests/support/RecordingMessageSink.h"
#include "tests/support/WindowTestHelpers.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

namespace calmfield {
namespace {

using namespace calmfield::testsupport;

class SaveNameDialogTest : public ::testing::Test {
  protected:
    ~SaveNameDialogTest() override { delete form.data(); }

    void save(const QString& name) {
        QTest::keyClicks(nameBox(form), name);
        saveNameButton(form)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString inHome(const char* file) const { return home.filePath(QString::fromLatin1(file)); }
    std::filesystem::path homePath() const { return home.path().toStdString(); }

    QTemporaryDir home;
    testsupport::ScriptedCommandStrings commands;
    testsupport::RecordingMessageSink messages;
    QPointer<recorder::SaveNameDialog> form =
        new recorder::SaveNameDialog(recorder::RecorderServices{commands, messages, homePath()});
};

TEST_F(SaveNameDialogTest, SendsTheNameAsTypedAndSaysWhereTheTakeWentOrWhyNot) {
    const QString failed = "The sound could not be saved as " + inHome("rain.wav") + ": ";
    const struct {
        QString typed;
        std::string failure;
        std::string command;
        QString message;
    } names[] = {
        {"rain", "", "save capture c:\\rain.wav", "File Saved: " + inHome("rain.wav")},
        {"rain.wav", "", "save capture c:\\rain.wav.wav", "File Saved: " + inHome("rain.wav.wav")},
        {"soft rain", "", "save capture c:\\soft rain.wav",
         "File Saved: " + inHome("soft rain.wav")},
        {"", "", "save capture c:\\.wav", "File Saved: " + inHome(".wav")},
        {"rain", "the folder does not exist", "save capture c:\\rain.wav",
         failed + "the folder does not exist."}};
    for (const auto& name : names) {
        if (form.isNull())
            form = new recorder::SaveNameDialog(
                recorder::RecorderServices{commands, messages, homePath()});
        commands.sent.clear();
        commands.failure = name.failure;
        messages.messages.clear();
        save(name.typed);
        EXPECT_EQ(commands.sent, std::vector<std::string>{name.command});
        EXPECT_EQ(messages.messages, QStringList{name.message});
        EXPECT_TRUE(form.isNull()) << "the dialog closes";
    }
    EXPECT_TRUE(messages.questions.isEmpty());
}

TEST_F(SaveNameDialogTest, RefusesANameThatLeadsOutOfTheHomeFolderAndStaysOpen) {
    for (const char* typed : {"../escape", "..\\escape", "takes/../../escape"}) {
        messages.messages.clear();
        nameBox(form)->clear();
        save(typed);
        ASSERT_FALSE(form.isNull()) << typed;
        EXPECT_TRUE(commands.sent.empty()) << typed;
        ASSERT_EQ(messages.messages.size(), 1) << typed;
        EXPECT_TRUE(messages.messages[0].contains("outside your home folder")) << typed;
    }
    // Steps that stay inside are the user's own business.
    nameBox(form)->clear();
    save("takes/../rain");
    EXPECT_EQ(commands.sent, std::vector<std::string>{"save capture c:\\takes/../rain.wav"});
}

TEST_F(SaveNameDialogTest, AsksBeforeReplacingAFileAndNoWritesNothing) {
    testsupport::putFile(inHome("rain.wav").toStdString(), "an earlier take");
    messages.answer = false;
    save("rain");
    ASSERT_EQ(messages.questions.size(), 1);
    EXPECT_TRUE(messages.questions[0].contains(inHome("rain.wav")));
    EXPECT_TRUE(commands.sent.empty());
    EXPECT_TRUE(messages.messages.isEmpty());
    ASSERT_FALSE(form.isNull());
    EXPECT_EQ(nameBox(form)->text(), "rain");

    messages.answer = true;
    saveNameButton(form)->click();
    EXPECT_EQ(commands.sent, std::vector<std::string>{"save capture c:\\rain.wav"});
    EXPECT_EQ(messages.messages, QStringList{"File Saved: " + inHome("rain.wav")});
}

} // namespace
} // namespace calmfield
