#include "desktop/QtFileDialog.h"

namespace calmfield::desktop {

QtFileDialog::QtFileDialog(QWidget* owner, QString objectName)
    : owner_(owner), objectName_(std::move(objectName)) {}

QtFileDialog::~QtFileDialog() {
    delete dialog_.data();
}

void QtFileDialog::setFilter(const QString& description, const QString& pattern) {
    const QString patterns = pattern.trimmed();
    // Qt takes the patterns from the parentheses at the end of the description.
    nameFilter_ = description.trimmed().endsWith(QLatin1Char('(') + patterns + QLatin1Char(')'))
                      ? description.trimmed()
                      : description.trimmed() + QStringLiteral(" (") + patterns + QLatin1Char(')');
}

void QtFileDialog::setInitialFolder(const QString& folder) {
    initialFolder_ = folder;
}

void QtFileDialog::showOpen() {
    show(QFileDialog::AcceptOpen);
}

void QtFileDialog::showSave() {
    show(QFileDialog::AcceptSave);
}

void QtFileDialog::show(QFileDialog::AcceptMode mode) {
    if (dialog_.isNull()) {
        dialog_ = new QFileDialog(owner_);
        dialog_->setObjectName(objectName_);
        dialog_->setOption(QFileDialog::DontUseNativeDialog);
        dialog_->setDefaultSuffix(QString());
        dialog_->setWindowModality(Qt::ApplicationModal);
    }
    QFileDialog& dialog = *dialog_;
    dialog.setAcceptMode(mode);
    // Any name is taken, also for opening: a file the filter hides can still be typed and
    // opened, and one that is not there is for the caller to report.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setWindowTitle(mode == QFileDialog::AcceptOpen ? QStringLiteral("Open")
                                                          : QStringLiteral("Save As"));
    dialog.setNameFilter(nameFilter_);
    dialog.setDirectory(initialFolder_);
    // The path chosen last time is offered again, in its own folder.
    if (!lastChosen_.isEmpty())
        dialog.selectFile(lastChosen_);

    chosen_.clear();
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        chosen_ = dialog.selectedFiles().constFirst();
        lastChosen_ = chosen_;
    }
}

} // namespace calmfield::desktop
