#pragma once

#include "platform/UrlOpener.h"

#include <QCoreApplication>
#include <QObject>
#include <QSet>

#include <functional>
#include <memory>

class QWidget;

namespace calmfield::shell {

class Form2;
class Form4;

// The program's windows other than the main one, each made at most once, and the rule that the
// program ends when its last open window has closed. A window hidden without closing, as the main
// window is in the tray, still counts as open.
class ProgramWindows : public QObject {
    Q_OBJECT

  public:
    explicit ProgramWindows(
        platform::UrlOpener openUrl,
        std::function<void()> endProgram = [] { QCoreApplication::exit(0); });
    ~ProgramWindows() override;

    // Counts `window` as open from when it is shown until it closes.
    void track(QWidget* window);

    // Shows the about or contact window, or brings the one already open to the front.
    void showAbout();
    void showContact();

    Form2* aboutWindow() const { return about_.get(); }
    Form4* contactWindow() const { return contact_.get(); }
    int openWindowCount() const { return static_cast<int>(open_.size()); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static void bringForward(QWidget* window);

    platform::UrlOpener openUrl_;
    std::function<void()> endProgram_;
    QSet<QObject*> open_;
    std::unique_ptr<Form2> about_;
    std::unique_ptr<Form4> contact_;
};

} // namespace calmfield::shell
