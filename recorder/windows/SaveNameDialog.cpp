#include "recorder/windows/SaveNameDialog.h"

#include "recorder/HostPath.h"
#include "resources/EmbeddedPictures.h"
#include "session/MessageSink.h"
#include "widgets/Accessibility.h"
#include "widgets/CentreOnScreen.h"
#include "widgets/FixedSizeWindowHints.h"
#include "widgets/LayoutTable.h"
#include "widgets/Twips.h"
#include "widgets/WindowKeys.h"

#include <QFile>
#include <QShowEvent>

#include <string>
#include <system_error>

namespace calmfield::recorder {
namespace {

using enum widgets::ControlKind;
using widgets::ControlRow;

constexpr char kPromptText[] = "Type a name for your sound. It will be saved in your home folder";

// The layout table.
constexpr ControlRow kPrompt{"Label1", Label, kPromptText, 240, 240, 3375, 375};
constexpr ControlRow kNameBox{"Text1", TextBox, "", 240, 720, 3375, 375};
constexpr ControlRow kSaveButton{"Command1", PushButton, "Save", 240, 1200, 3375, 375};

QString shownPath(const std::filesystem::path& path) {
    return QFile::decodeName(path.c_str());
}

} // namespace

SaveNameDialog::SaveNameDialog(const RecorderServices& services, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      commands_(services.commands), messages_(services.messages), homeFolder_(services.homeFolder) {
    setObjectName(QStringLiteral("Form10"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Save"));
    setWindowIcon(resources::programIcon());
    setFixedSize(widgets::pixels(3855), widgets::pixels(1785));
    new widgets::FixedSizeWindowHints(this);
    widgets::exposeAsDialog(*this);
    widgets::closeOnEscape(*this);
    buildControls();
}

void SaveNameDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        widgets::centreOnScreen(*this);
    QWidget::showEvent(event);
}

void SaveNameDialog::buildControls() {
    auto* prompt = widgets::placeControl<QLabel>(kPrompt, this);
    prompt->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    prompt->setWordWrap(true);
    nameBox_ = widgets::placeControl<QLineEdit>(kNameBox, this);
    nameBox_->setAccessibleName(QString::fromLatin1(kPromptText));
    prompt->setBuddy(nameBox_);
    auto* saveButton = widgets::placeControl<QPushButton>(kSaveButton, this);

    connect(saveButton, &QPushButton::clicked, this, &SaveNameDialog::saveClicked);
    connect(nameBox_, &QLineEdit::returnPressed, saveButton, &QPushButton::click);

    setTabOrder(nameBox_, saveButton);
    nameBox_->setFocus();
}

// The name is taken as typed, but a name whose ".." steps lead out of the home folder is refused
// and the dialog stays open for another. A file already there is replaced only when the user
// agrees; the user is told where the take went, or why it could not be written.
void SaveNameDialog::saveClicked() {
    const std::string writtenPath = "c:\\" + nameBox_->text().toStdString() + ".wav";
    if (leavesHome(writtenPath, homeFolder_)) {
        messages_.showMessage(QStringLiteral("\"%1\" would save the sound outside your home "
                                             "folder. Please type a name for a file in it.")
                                  .arg(nameBox_->text()));
        return;
    }
    const std::filesystem::path file = hostPath(writtenPath, homeFolder_);
    std::error_code unreadable;
    if (std::filesystem::exists(file, unreadable) &&
        !messages_.askYesNo(
            QStringLiteral("%1 already exists. Do you want to replace it?").arg(shownPath(file))))
        return;

    const CommandReply saved = commands_.send("save capture " + writtenPath);
    if (saved.succeeded())
        messages_.showMessage(QStringLiteral("File Saved: ") + shownPath(file));
    else
        messages_.showMessage(QStringLiteral("The sound could not be saved as %1: %2.")
                                  .arg(shownPath(file), QString::fromStdString(saved.reason)));
    close();
}

} // namespace calmfield::recorder
