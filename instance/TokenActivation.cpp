#include "instance/TokenActivation.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace calmfield::instance {
namespace {

constexpr char kTokenVariable[] = "XDG_ACTIVATION_TOKEN";

} // namespace

TokenActivation::TokenActivation(Activate activate, QObject* parent)
    : QObject(parent),
      activate_(activate ? std::move(activate) : [](QWidget& window) { window.activateWindow(); }) {
}

void TokenActivation::activate(QWidget& window, const QByteArray& token) {
    stopWaiting();
    QWindow* handle = window.windowHandle();
    if (handle != nullptr && handle->isExposed()) {
        activateNow(window, token);
        return;
    }
    // A window being shown is mapped only when the desktop has answered; until then the desktop
    // has nothing to give the focus to.
    window.winId();
    waitingWindow_ = &window;
    watchedHandle_ = window.windowHandle();
    waitingToken_ = token;
    watchedHandle_->installEventFilter(this);
}

bool TokenActivation::eventFilter(QObject* watched, QEvent* event) {
    if (watched == watchedHandle_ && event->type() == QEvent::Expose &&
        watchedHandle_->isExposed()) {
        const QPointer<QWidget> window = waitingWindow_;
        const QByteArray token = waitingToken_;
        stopWaiting();
        if (window)
            activateNow(*window, token);
    }
    return false;
}

void TokenActivation::activateNow(QWidget& window, const QByteArray& token) {
    qputenv(kTokenVariable, token);
    activate_(window);
    qunsetenv(kTokenVariable);
}

void TokenActivation::stopWaiting() {
    if (watchedHandle_)
        watchedHandle_->removeEventFilter(this);
    watchedHandle_ = nullptr;
    waitingWindow_ = nullptr;
    waitingToken_.clear();
}

} // namespace calmfield::instance
