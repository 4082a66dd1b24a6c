#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;
class QWindow;

namespace calmfield::instance {

// Brings a window forward with an activation token from the launcher, which a Wayland desktop
// asks of a window that is to take the focus. The token is handed to the window system through
// XDG_ACTIVATION_TOKEN, where Qt's Wayland platform looks for it, for one activation once the
// window is on screen, and taken away again so that it is never used twice. Elsewhere the token
// does nothing and the window is activated as without one.
class TokenActivation : public QObject {
    Q_OBJECT

  public:
    // What activates the window; QWidget::activateWindow unless a test watches it.
    using Activate = std::function<void(QWidget&)>;

    explicit TokenActivation(Activate activate = {}, QObject* parent = nullptr);

    // Activates `window` with `token` now when it is on screen, or else when it next comes on
    // screen. A request still waiting is dropped for this one.
    void activate(QWidget& window, const QByteArray& token);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void activateNow(QWidget& window, const QByteArray& token);
    void stopWaiting();

    Activate activate_;
    QPointer<QWidget> waitingWindow_;
    QPointer<QWindow> watchedHandle_;
    QByteArray waitingToken_;
};

} // namespace calmfield::instance
