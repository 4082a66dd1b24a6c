#pragma once

#include "desktop/FileDialog.h"

#include <QStringList>

#include <vector>

namespace calmfield::testsupport {

// A file dialog that answers from a script instead of asking anyone, and keeps how it was set up
// each time it was shown.
class ScriptedFileDialog final : public desktop::FileDialog {
  public:
    struct Showing {
        bool forSaving;
        QString filterDescription;
        QString filterPattern;
        QString initialFolder;
    };

    void setFilter(const QString& description, const QString& pattern) override;
    void setInitialFolder(const QString& folder) override;
    void showOpen() override;
    void showSave() override;
    QString chosenPath() const override { return chosen_; }

    // The paths the next showings choose, first one first. An empty one, or none left, is a
    // cancelled dialog.
    QStringList answers;
    std::vector<Showing> showings;

  private:
    void show(bool forSaving);

    QString filterDescription_;
    QString filterPattern_;
    QString initialFolder_;
    QString chosen_;
};

} // namespace calmfield::testsupport
