#include "tests/support/ScriptedFileDialog.h"

namespace calmfield::testsupport {

void ScriptedFileDialog::setFilter(const QString& description, const QString& pattern) {
    filterDescription_ = description;
    filterPattern_ = pattern;
}

void ScriptedFileDialog::setInitialFolder(const QString& folder) {
    initialFolder_ = folder;
}

void ScriptedFileDialog::showOpen() {
    show(false);
}

void ScriptedFileDialog::showSave() {
    show(true);
}

void ScriptedFileDialog::show(bool forSaving) {
    showings.push_back({forSaving, filterDescription_, filterPattern_, initialFolder_});
    chosen_ = answers.isEmpty() ? QString() : answers.takeFirst();
}

} // namespace calmfield::testsupport
