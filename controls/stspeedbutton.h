// TstSpeedButton: the push button of every window. It paints a face, an
// optional border, a shaded bevel and then a picture, a built-in glyph with
// the caption beside it, or the caption alone. It works as a plain push
// button, as a toggle in a group of mutually exclusive buttons (GroupIndex),
// and as an auto-repeat button (OnAutoRepeat while held).
//
// Colours are toolkit colour numbers (TColor, system colours allowed). The
// font is the widget's font; its colour is FontColor. Hints are tool tips.
#pragma once

#include "controls/stcontrol.h"
#include "controls/stglobal.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <cstdint>
#include <functional>

class QTimer;

// The built-in glyphs, in this order.
enum TSTButtonKind {
    stbkNone,
    stbkLeftArrow,
    stbkRightArrow,
    stbkUpArrow,
    stbkDownArrow,
    stbkStop,
    stbkPause,
    stbkFastForward,
    stbkRewind,
    stbkShortLeftArrow,
    stbkShortRightArrow,
    stbkCloseCross,
    stbkMinimizeLine
};

class TstSpeedButton : public QWidget {
    Q_OBJECT

public:
    // up: released; down: pressed with the mouse; exclusive: held down as a
    // toggle of a group; disabled: the control is disabled.
    enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

    explicit TstSpeedButton(QWidget *parent = nullptr);
    ~TstSpeedButton() override;

    // "&" marks the accelerator letter (typed with Alt).
    QString Caption() const { return caption_; }
    void SetCaption(const QString &value);

    // Face colours: up, down or exclusive, disabled.
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TColor ColorDown() const { return colorDown_; }
    void SetColorDown(TColor value);
    TColor ColorDisabled() const { return colorDisabled_; }
    void SetColorDisabled(TColor value);

    // Caption and glyph colours: up, down or exclusive, disabled.
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor value);
    TColor FontColorDown() const { return fontColorDown_; }
    void SetFontColorDown(TColor value);
    TColor FontColorDisabled() const { return fontColorDisabled_; }
    void SetFontColorDisabled(TColor value);

    // A negative width becomes 0.
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int value);
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor value);
    // A negative width becomes 0.
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int value);
    // Lightness units, clamped to 0..360.
    int ShadowOffset() const { return shadowOffset_; }
    void SetShadowOffset(int value);

    // Caption placement.
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    // Caption placement, and vertical glyph placement.
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout value);
    // Horizontal glyph placement.
    TAlignment AlignKind() const { return alignKind_; }
    void SetAlignKind(TAlignment value);
    // Glyph margin in pixels.
    int Indent() const { return indent_; }
    void SetIndent(int value);
    // A caption too long for the button ends in an ellipsis.
    bool Abbreviate() const { return abbreviate_; }
    void SetAbbreviate(bool value);

    TSTButtonKind Kind() const { return kind_; }
    void SetKind(TSTButtonKind value);
    // Glyph size as a share (0..100) of the available size; 0 limits it to
    // the font's size in points instead.
    int KindPercent() const { return kindPercent_; }
    void SetKindPercent(int value);
    // When false the glyph is not drawn but still places the caption.
    bool ShowKind() const { return showKind_; }
    void SetShowKind(bool value);

    // A picture drawn centred instead of glyph and caption; its bottom-left
    // pixel's colour is transparent.
    QImage Bitmap() const { return bitmap_; }
    void SetBitmap(const QImage &value);

    // Buttons of one parent with the same non-zero GroupIndex are mutually
    // exclusive toggles; 0 is a plain push button.
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value);
    bool Down() const { return down_; }
    void SetDown(bool value);
    // Whether the last down button of a group may be released.
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool value);
    // Stay pressed while held even when the pointer leaves the button.
    bool KeepMouse() const { return keepMouse_; }
    void SetKeepMouse(bool value);

    // Auto-repeat: first repeat Delay ms after the press, then every Speed ms.
    int Speed() const { return speed_; }
    void SetSpeed(int value);
    int Delay() const { return delay_; }
    void SetDelay(int value);

    // The tool tip.
    QString Hint() const { return toolTip(); }
    void SetHint(const QString &value) { setToolTip(value); }

    TButtonState State() const { return state_; }
    // The bevel width that fits: BevelWidth, at most half the smaller side
    // less the border.
    int AdjustBevel() const;

    // Fires OnClick.
    void Click();

    // The millisecond clock the auto-repeat delay is measured with; tests
    // replace it. An empty function restores the steady clock.
    void SetClock(std::function<std::int64_t()> clock);

signals:
    void OnClick();
    void OnDblClick();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void OnMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void OnAutoRepeat();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void Changed(bool repaintNow = false);
    void SetState(TButtonState value);
    void UpdateExclusive();
    void ButtonPressed(int groupIndex, TstSpeedButton *sender);
    void TimerTick();
    void Press(const QPoint &pos);
    void ForgetPress();
    bool Inside(const QPoint &pos) const;
    void UpdateShortcut();
    void Render(QPainter &painter);
    int DrawKind(QPainter &painter, const QColor &textColor);
    void DrawKindPixels(QPainter &painter, const QColor &textColor, int s, int x0, int y0) const;
    void DrawKindShapes(QPainter &painter, const QColor &textColor, int s, int x0, int y0) const;
    std::int64_t Now() const;

    QString caption_;
    TColor color_ = SysColor::clBtnFace;
    TColor colorDown_ = SysColor::clBtnFace;
    TColor colorDisabled_ = SysColor::clBtnFace;
    TColor fontColor_ = SysColor::clWindowText;
    TColor fontColorDown_ = SysColor::clWindowText;
    TColor fontColorDisabled_ = SysColor::clWindowText;
    int borderWidth_ = 0;
    TColor borderColor_ = SysColor::clBtnFace;
    int bevelWidth_ = 2;
    int shadowOffset_ = 50;
    TAlignment alignment_ = TAlignment::taCenter;
    TTextLayout layout_ = TTextLayout::tlCenter;
    TAlignment alignKind_ = TAlignment::taCenter;
    int indent_ = 0;
    bool abbreviate_ = false;
    TSTButtonKind kind_ = stbkNone;
    int kindPercent_ = 0;
    bool showKind_ = true;
    QImage bitmap_;
    QPixmap maskedBitmap_;
    int groupIndex_ = 0;
    bool down_ = false;
    bool allowAllUp_ = false;
    bool keepMouse_ = false;
    int speed_ = 100;
    int delay_ = 500;

    TButtonState state_ = bsUp;
    bool pressing_ = false;
    std::int64_t pressTime_ = 0;
    QTimer *repeatTimer_ = nullptr;
    std::function<std::int64_t()> clock_;
    int shortcutId_ = 0;

    // The face as last painted; rebuilt after any change.
    QPixmap cache_;
    bool cacheValid_ = false;
};
