#include "recorder/windows/SaveNameDialog.h"

#include "recorder/HostPath.h"
#include "resources/EmbeddedPictures.h"
#include "widgets/CentreOnScreen.h"
#include "widgets/MessageSink.h"
#include "widgets/Twips.h"

#include <QFile>
#include <QShowEvent>

#include <string>
#include <system_error>

namespace calmfield::recorder {
namespace {

using widgets::twipsRect;

QString shownPath(const std::filesystem::path& path) {
    return QFile::decodeName(path.c_str());
}

} // namespace

SaveNameDialog::SaveNameDialog(const RecorderServices& services, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      commands_(services.commands), messages_(services.messages), homeFolder_(services.homeFolder) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Save"));
    setWindowIcon(resources::programIcon());
    setFixedSize(widgets::pixels(3855), widgets::pixels(1785));
    buildControls();
    connect(Command1, &QPushButton::clicked, this, &SaveNameDialog::saveClicked);
    connect(Text1, &QLineEdit::returnPressed, Command1, &QPushButton::click);
}

void SaveNameDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        widgets::centreOnScreen(*this);
    QWidget::showEvent(event);
}

void SaveNameDialog::buildControls() {
    Label1 = new QLabel(QStringLiteral("Type a name for your sound. It will be saved in your "
                                       "home folder"),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(widgets::twipsRect(240, 240, 3375, 375));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setWordWrap(true);

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(widgets::twipsRect(240, 720, 3375, 375));

    Command1 = new QPushButton(QStringLiteral("Save"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(widgets::twipsRect(240, 1200, 3375, 375));

    setTabOrder(Text1, Command1);
    Text1->setFocus();
}

// The name is taken as typed. A file already there is replaced only when the user agrees; the
// user is told where the take went, or why it could not be written.
void SaveNameDialog::saveClicked() {
    const std::string writtenPath = "c:\\" + Text1->text().toStdString() + ".wav";
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
