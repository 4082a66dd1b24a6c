#include "ScriptedCommandStrings.h"
#include "recorder/windows/Form10.h"
#include "tests/shell/Form1Fixture.h"

#include <QPointer>
#include <QTest>

namespace calmfield {
namespace {

class SaveNameDialog : public ::testing::Test {
  protected:
    ~SaveNameDialog() override { delete form.data(); }

    void save(const QString& name) {
        QTest::keyClicks(form->Text1, name);
        form->Command1->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString inHome(const char* file) const { return home.filePath(QString::fromLatin1(file)); }

    QTemporaryDir home;
    testing::ScriptedCommandStrings commands;
    testing::RecordingMessageSink messages;
    QPointer<recorder::Form10> form = new recorder::Form10(
        recorder::RecorderServices{commands, messages, home.path().toStdString()});
};

struct TypedName {
    const char* name;
    QString typed;
    std::string command;
    const char* file;
};

void PrintTo(const TypedName& typed, std::ostream* out) {
    *out << typed.name;
}

class SavingAName : public SaveNameDialog, public ::testing::WithParamInterface<TypedName> {};

TEST_P(SavingAName, SendsTheNameAsTypedAndConfirmsTheRealPath) {
    save(GetParam().typed);
    EXPECT_EQ(commands.sent, std::vector<std::string>{GetParam().command});
    EXPECT_EQ(messages.messages, QStringList{"File Saved: " + inHome(GetParam().file)});
    EXPECT_TRUE(messages.questions.isEmpty());
    EXPECT_TRUE(form.isNull()) << "the dialog closes";
}

INSTANTIATE_TEST_SUITE_P(
    Names, SavingAName,
    ::testing::Values(
        TypedName{"plain", "rain", "save capture c:\\rain.wav", "rain.wav"},
        TypedName{"endingInWav", "rain.wav", "save capture c:\\rain.wav.wav", "rain.wav.wav"},
        TypedName{"withABlank", "soft rain", "save capture c:\\soft rain.wav", "soft rain.wav"},
        TypedName{"empty", "", "save capture c:\\.wav", ".wav"}),
    [](const ::testing::TestParamInfo<TypedName>& instance) { return instance.param.name; });

TEST_F(SaveNameDialog, AsksBeforeReplacingAFileAndNoWritesNothing) {
    testing::putFile(inHome("rain.wav").toStdString(), "an earlier take");
    messages.answer = false;
    save("rain");
    ASSERT_EQ(messages.questions.size(), 1);
    EXPECT_TRUE(messages.questions[0].contains(inHome("rain.wav")));
    EXPECT_TRUE(commands.sent.empty());
    EXPECT_TRUE(messages.messages.isEmpty());
    ASSERT_FALSE(form.isNull());
    EXPECT_EQ(form->Text1->text(), "rain");

    messages.answer = true;
    form->Command1->click();
    EXPECT_EQ(commands.sent, std::vector<std::string>{"save capture c:\\rain.wav"});
    EXPECT_EQ(messages.messages, QStringList{"File Saved: " + inHome("rain.wav")});
}

TEST_F(SaveNameDialog, AFailedSaveSaysWhereAndWhyAndConfirmsNothing) {
    commands.failure = "the folder does not exist";
    save("rain");
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_FALSE(messages.messages[0].startsWith("File Saved"));
    EXPECT_TRUE(messages.messages[0].contains(inHome("rain.wav")));
    EXPECT_TRUE(messages.messages[0].contains("the folder does not exist"));
}

} // namespace
} // namespace calmfield
