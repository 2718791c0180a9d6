// Gives the keyboard focus back when a window or box that took it closes.
// Without a window manager nothing else does: the window that opened a
// dialog stays inactive, and typing goes nowhere until a click.
#pragma once

#include <QPointer>
#include <QWidget>

namespace platform {

// Remember() notes the control that has the keyboard focus (or, when none
// has it, the active window); Return() brings its window to the front,
// activates it and gives the control the focus again, if both are still
// there and visible. The destructor returns what is still remembered.
class TFocusReturn {
public:
    TFocusReturn() = default;
    ~TFocusReturn() { Return(); }
    TFocusReturn(const TFocusReturn &) = delete;
    TFocusReturn &operator=(const TFocusReturn &) = delete;

    // Remembers the focus as it is now, unless it lies in `except` (the
    // window about to take it).
    void Remember(const QWidget *except = nullptr);
    void Return();
    void Forget();

private:
    QPointer<QWidget> control_;
    QPointer<QWidget> window_;
};

} // namespace platform
