#include "MainWindowFixture.h"

#include "desktop/QtFileDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace calmfield {
namespace {

using namespace calmfield::testsupport;

using widgets::CheckBox;

// Acts on the file dialog once it is on screen, from inside its own event loop.
void whenShown(std::function<void(QFileDialog&)> act) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act = std::move(act)] {
        auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (shown == nullptr || !shown->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        act(*shown);
    });
    poll->start();
}

QLineEdit& nameField(QFileDialog& dialog) {
    auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (field == nullptr)
        throw std::runtime_error("the dialog has no name field");
    return *field;
}

// Types `name` into the dialog and takes it.
void typeAndAccept(QFileDialog& dialog, const QString& name) {
    nameField(dialog).setText(name);
    static_cast<QDialog&>(dialog).accept(); // QFileDialog hides it
}

class DesktopFileDialog : public ::testing::Test {
  protected:
    DesktopFileDialog() {
        dialog.setFilter(QStringLiteral("Calmfield Files (*.clm)"), QStringLiteral("*.clm"));
        dialog.setInitialFolder(folder.path());
    }

    QString pathOf(const QString& name) const { return QDir(folder.path()).filePath(name); }

    QTemporaryDir folder;
    QWidget owner;
    desktop::QtFileDialog dialog{&owner};
};

TEST_F(DesktopFileDialog, OffersCalmfieldFilesInTheInitialFolderAndCancelChoosesNothing) {
    QStringList filters;
    QString shownFolder;
    bool nonNative = false;
    QString suffix = QStringLiteral("unset");
    whenShown([&](QFileDialog& shown) {
        filters = shown.nameFilters();
        shownFolder = shown.directory().absolutePath();
        nonNative = shown.testOption(QFileDialog::DontUseNativeDialog);
        suffix = shown.defaultSuffix();
        shown.reject();
    });
    dialog.showOpen();
    EXPECT_EQ(filters, QStringList{"Calmfield Files (*.clm)"});
    EXPECT_EQ(shownFolder, QDir(folder.path()).absolutePath());
    EXPECT_TRUE(nonNative);
    EXPECT_EQ(suffix, QString());
    EXPECT_EQ(dialog.chosenPath(), QString());
    EXPECT_EQ(dialog.dialog()->acceptMode(), QFileDialog::AcceptOpen);
}

TEST_F(DesktopFileDialog, ANameTypedWithoutExtensionIsChosenAsTyped) {
    whenShown([&](QFileDialog& shown) { typeAndAccept(shown, QStringLiteral("quiet evening")); });
    dialog.showSave();
    EXPECT_EQ(dialog.chosenPath(), pathOf("quiet evening"));
    EXPECT_EQ(dialog.dialog()->acceptMode(), QFileDialog::AcceptSave);
}

TEST_F(DesktopFileDialog, SavingOverAFileAsksFirstAndNoKeepsTheDialogOpen) {
    testsupport::putFile(pathOf("kept.clm").toStdString(), "1,0,0,0,0");
    bool asked = false;
    bool stillOpen = false;
    whenShown([&](QFileDialog& shown) {
        nameField(shown).setText(QStringLiteral("kept.clm"));
        QTimer::singleShot(50, &shown, [&] {
            auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            asked = question != nullptr;
            if (question != nullptr)
                question->button(QMessageBox::No)->click();
            stillOpen = shown.isVisible();
            shown.reject();
        });
        static_cast<QDialog&>(shown).accept(); // as the Save button does
    });
    dialog.showSave();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(dialog.chosenPath(), QString());
    EXPECT_EQ(testsupport::contentOf(pathOf("kept.clm").toStdString()), "1,0,0,0,0");
}

TEST_F(DesktopFileDialog, ThePathLastChosenIsOfferedAgainInBothDialogs) {
    ASSERT_TRUE(QDir(folder.path()).mkdir("mixes"));
    whenShown([&](QFileDialog& shown) { typeAndAccept(shown, pathOf("mixes/first.clm")); });
    dialog.showSave();
    ASSERT_EQ(dialog.chosenPath(), pathOf("mixes/first.clm"));
    const QDialog* made = dialog.dialog();

    for (int showing = 0; showing < 2; ++showing) {
        QString offeredName;
        QString offeredFolder;
        whenShown([&](QFileDialog& shown) {
            offeredName = nameField(shown).text();
            offeredFolder = shown.directory().absolutePath();
            shown.reject();
        });
        if (showing == 0)
            dialog.showOpen();
        else
            dialog.showSave(); // a cancelled showing does not forget the earlier choice
        EXPECT_EQ(offeredName, "first.clm") << showing;
        EXPECT_EQ(offeredFolder, QDir(pathOf("mixes")).absolutePath()) << showing;
        EXPECT_EQ(dialog.chosenPath(), QString()) << showing;
    }
    EXPECT_EQ(dialog.dialog(), made); // one dialog, kept
}

// The main window with the desktop's own dialog, as the program has it.
class WindowWithDesktopDialog : public testsupport::MainWindowFixture {
  protected:
    WindowWithDesktopDialog() { startAgain({.desktopDialog = true}); }
};

TEST_F(WindowWithDesktopDialog, SavesAndLoadsAMixThroughIt) {
    const QString mixFile = QDir(scratch.path()).filePath("window mix");
    colourToggles(form)[3]->setValue(CheckBox::kOn);
    volumeSliders(form)[3]->setValue(-321);
    QString shownFolder;
    QString shownName;
    whenShown([&](QFileDialog& shown) {
        shownFolder = shown.directory().absolutePath();
        shownName = shown.objectName();
        typeAndAccept(shown, mixFile);
    });
    saveAction(form)->trigger();
    EXPECT_EQ(std::filesystem::path(shownFolder.toStdString()), folder);
    EXPECT_EQ(shownName, "CommonDialog1");
    EXPECT_EQ(testsupport::contentOf(mixFile.toStdString()),
              "0,0,0,1,0,0,0,0,-321,0,32000,32000,32000,32000,32000\r\n");

    resetAllButton(form)->click();
    QString offered;
    bool openable = false;
    whenShown([&](QFileDialog& shown) {
        offered = nameField(shown).text();
        // The name lacks the filter's extension, yet the user can still open it by the button.
        QPushButton* open = shown.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
        openable = open->isEnabled();
        static_cast<QDialog&>(shown).accept();
    });
    loadAction(form)->trigger();
    EXPECT_EQ(offered, "window mix");
    EXPECT_TRUE(openable);
    EXPECT_EQ(colourToggles(form)[3]->value(), CheckBox::kOn);
    EXPECT_EQ(channel(3).volume(), -321);
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join('\n').toStdString();
}

} // namespace
} // namespace calmfield
