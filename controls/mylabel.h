// The text label of the group boxes: a plain label whose disabled look has
// colours of its own, optionally with an engraved ("burried") shadow.
//
// The enabled text is drawn in the font colour (controls/stcontrol.h,
// FontColor); the background is the parent's colour unless Transparent.
#pragma once

#include "controls/stcontrol.h"

#include <QWidget>

class TmyLabel : public QWidget, public TCaptioned {
    Q_OBJECT
public:
    // Caption, Alignment (left by default) and Layout (top by default).
    explicit TmyLabel(QWidget *parent = nullptr);

    // While true the label takes the size of its text.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);

    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool value);

    bool ShowBurried() const { return showBurried_; }
    void SetShowBurried(bool value);

    TColor DisableColor() const { return disableColor_; }
    void SetDisableColor(TColor value);

    TColor BurriedColor() const { return burriedColor_; }
    void SetBurriedColor(TColor value);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void CaptionChanged(bool text) override;
    int TextFlags() const;
    void AdjustBounds();

    bool autoSize_ = true;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    bool showBurried_ = false;
    TColor disableColor_ = RGBColor(32, 32, 32);
    TColor burriedColor_ = RGBColor(128, 128, 128);
};
