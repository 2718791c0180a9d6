#include "platform/focusreturn.h"

#include <QApplication>

namespace platform {

void TFocusReturn::Remember(const QWidget *except) {
    control_ = QApplication::focusWidget();
    window_ = control_ ? control_->window() : QApplication::activeWindow();
    if (except && window_ == except) Forget();
}

void TFocusReturn::Return() {
    const QPointer<QWidget> control = control_;
    const QPointer<QWidget> window = window_;
    Forget();
    if (!window || !window->isVisible()) return;
    window->raise();
    window->activateWindow();
    // Set on a window that is not active yet, the focus waits for it.
    if (control && control->window() == window && control->isVisible() && control->isEnabled())
        control->setFocus(Qt::ActiveWindowFocusReason);
}

void TFocusReturn::Forget() {
    control_ = nullptr;
    window_ = nullptr;
}

} // namespace platform
