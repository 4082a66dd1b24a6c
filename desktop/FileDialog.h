#pragma once

#include <QString>

namespace calmfield::desktop {

// A common file dialog kept by a window for its life: one object for opening and saving, which
// offers the path last chosen in it again whichever way it is shown next.
class FileDialog {
  public:
    virtual ~FileDialog() = default;

    // The one file type offered, such as "Calmfield Files (*.clm)" matching "*.clm".
    virtual void setFilter(const QString& description, const QString& pattern) = 0;
    virtual void setInitialFolder(const QString& folder) = 0;

    // Each shows the dialog and returns once the user has closed it.
    virtual void showOpen() = 0;
    virtual void showSave() = 0;

    // The path chosen in the last showing; empty when nothing was chosen.
    virtual QString chosenPath() const = 0;
};

} // namespace calmfield::desktop
