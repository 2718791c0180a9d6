// TstCustomEdit: the one-line text entry that the library's edits share. The
// native entry is the QLineEdit itself; around its text area the control
// draws either the platform's own frame (DefaultShadow true) or a shaded
// border in shades of the parent's colour (DefaultShadow false), so that the
// field looks sunk into its panel. Both borders are BorderWidth() pixels wide.
//
// Keys reach the owner as the toolkit's two events, in this order for one key:
//   OnKeyDown(sender, key, shift)  key is a Qt::Key; set it to 0 to suppress
//                                  the entry's own handling of that key;
//   OnKeyPress(sender, ch)         for a key that produces a character (also
//                                  Enter '\r', Escape '\x1b', Backspace '\b');
//                                  a character set to QChar(0) is not inserted.
// Derived edits filter in the virtual KeyDown/KeyPress before the owner sees
// the key. MaxLength limits typing and pasting only; text set by the program
// is never cut, as with the platform's edits.
#pragma once

#include "controls/stglobal.h"

#include <QLineEdit>
#include <QPointer>

#include <functional>

class QWheelEvent;

class TstCustomEdit : public QLineEdit {
    Q_OBJECT
public:
    using TKeyEvent = std::function<void(QObject *sender, int &key, Qt::KeyboardModifiers shift)>;
    using TKeyPressEvent = std::function<void(QObject *sender, QChar &key)>;

    explicit TstCustomEdit(QWidget *parent = nullptr);
    // Stops following the focus before QWidget's destructor hands the focus
    // on, which would call back into the edit that is being destroyed.
    ~TstCustomEdit() override;

    // true: the platform's frame; false: the shaded border.
    bool DefaultShadow() const { return defaultShadow_; }
    void SetDefaultShadow(bool value);
    // Lightness range of the shaded border, clamped to 0..360.
    int ShadowOffset() const { return shadowOffset_; }
    void SetShadowOffset(int value);

    // Background and text colours (toolkit colour numbers).
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor value);

    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value);
    // Select the whole text when the field takes the focus.
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool value) { autoSelect_ = value; }

    // Leaving the field takes (true) or drops (false) the text being typed.
    bool UpdateOnExit() const { return updateOnExit_; }
    void SetUpdateOnExit(bool value) { updateOnExit_ = value; }
    // Where the focus goes after a value has been set while the field had it.
    QWidget *ExitControl() const { return exitControl_; }
    void SetExitControl(QWidget *control) { exitControl_ = control; }
    // A companion that takes the field's wheel turns (any widget that reacts
    // to the wheel: a spin box, a scroll bar), with ExitControl suspended so
    // that a value changed by the wheel does not send the focus away. None
    // by default: the wheel then goes to the field's parents.
    QWidget *UpDownControl() const { return upDown_; }
    void SetUpDownControl(QWidget *control) { upDown_ = control; }

    // Width of the border around the client area, on every side.
    static constexpr int BorderWidth() { return 2; }
    // The client area in widget coordinates (inside the border).
    QRect ClientRect() const;

    // Hooks that may change or consume the key before the field sees it.
    void SetOnKeyDown(TKeyEvent handler) { onKeyDown_ = std::move(handler); }
    void SetOnKeyPress(TKeyPressEvent handler) { onKeyPress_ = std::move(handler); }

signals:
    void OnChange(QObject *sender);
    void OnEnter(QObject *sender);
    void OnExit(QObject *sender);

protected:
    // The field's own key handling; the base versions call the owner's events.
    virtual void KeyDown(int &key, Qt::KeyboardModifiers shift);
    virtual void KeyPress(QChar &key);
    // Every change of the text, typed or set; the base calls OnChange.
    virtual void Change();
    // Taking and losing the focus within the window; the window's activation
    // and deactivation are neither.
    virtual void DoEnter();
    virtual void DoExit();
    // The client picture; the base lets the native entry paint.
    virtual void PaintContent(QPaintEvent *event);
    // Text margins of the native entry; the base keeps the text inside the border.
    virtual void UpdateTextMargins();
    // The colour the shaded border is made of.
    QColor ParentColor() const;
    // The font colour as drawn: grey text while disabled.
    QColor TextColor() const;

    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

    QPointer<QWidget> exitControl_;
    bool updateOnExit_ = true;

private:
    void ApplyPalette();
    // Sends a wheel event on to the up-down control, as if it had been
    // turned over it.
    void ForwardWheelToUpDown(QWheelEvent *event);

    bool defaultShadow_ = true;
    int shadowOffset_ = 50;
    TColor color_ = SysColor::clWindow;
    TColor fontColor_ = SysColor::clWindowText;
    int maxLength_ = 0;
    bool autoSelect_ = true;
    bool entered_ = false;
    TKeyEvent onKeyDown_;
    TKeyPressEvent onKeyPress_;
    QPointer<QWidget> upDown_;
    qsizetype committedLength_ = 0;
    class LengthLimit;
};
