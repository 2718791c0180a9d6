// The text label of the group boxes: a plain label whose disabled look has
// colours of its own, optionally with an engraved ("burried") shadow.
//
// The enabled text is drawn in the font colour (controls/stcontrol.h,
// FontColor); the background is the parent's colour unless Transparent.
#pragma once

#include "controls/stcontrol.h"

#include <QWidget>

class TmyLabel : public QWidget {
    Q_OBJECT
public:
    explicit TmyLabel(QWidget *parent = nullptr);

    QString Caption() const { return caption_; }
    void SetCaption(const QString &value);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);

    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout value);

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
    int TextFlags() const;
    void AdjustBounds();

    QString caption_;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TTextLayout layout_ = TTextLayout::tlTop;
    bool autoSize_ = true;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    bool showBurried_ = false;
    TColor disableColor_ = RGBColor(32, 32, 32);
    TColor burriedColor_ = RGBColor(128, 128, 128);
};
