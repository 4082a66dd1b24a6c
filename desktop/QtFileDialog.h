#pragma once

#include "desktop/FileDialog.h"

#include <QFileDialog>
#include <QPointer>

namespace calmfield::desktop {

// The desktop's file dialog, drawn by Qt itself so that it looks and behaves the same
// everywhere. It is made on first use and kept, modal over its owner. It adds no extension to a
// name typed without one and asks no question before replacing a file.
class QtFileDialog final : public FileDialog {
  public:
    // The dialog, once made, carries `objectName`.
    explicit QtFileDialog(QWidget* owner, QString objectName = {});
    ~QtFileDialog() override;
    QtFileDialog(const QtFileDialog&) = delete;
    QtFileDialog& operator=(const QtFileDialog&) = delete;

    void setFilter(const QString& description, const QString& pattern) override;
    void setInitialFolder(const QString& folder) override;
    void showOpen() override;
    void showSave() override;
    QString chosenPath() const override { return chosen_; }

    // The dialog itself, once it has been made.
    QFileDialog* dialog() const { return dialog_.data(); }

  private:
    void show(QFileDialog::AcceptMode mode);

    QWidget* owner_;
    QString objectName_;
    QPointer<QFileDialog> dialog_;
    QString nameFilter_;
    QString initialFolder_;
    QString lastChosen_;
    QString chosen_;
};

} // namespace calmfield::desktop
