// A container that paints its own shaded bevel: a rounded groove (bsRound), a
// raised (bsGradientOuter) or a sunken (bsGradientInner) band of rings whose
// shades are made from one base colour. Every window is built of these.
//
// Children are laid out by their TAlign (controls/stcontrol.h) inside the
// client area shrunk by the effective bevel width. The panel paints every
// pixel itself, so it never erases its background first.
#pragma once

#include "controls/stcontrol.h"
#include "controls/stglobal.h"

#include <QWidget>

enum class TBevelStyle { bsRound, bsGradientInner, bsGradientOuter };

class TstCustomPanel : public QWidget {
    Q_OBJECT
public:
    explicit TstCustomPanel(QWidget *parent = nullptr);

    TBevelStyle BevelStyle() const { return bevelStyle_; }
    void SetBevelStyle(TBevelStyle value);

    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int value);

    int ShadowOffset() const { return shadowOffset_; }
    void SetShadowOffset(int value);

    bool ParentShadow() const { return parentShadow_; }
    void SetParentShadow(bool value);

    int PenWidth() const { return penWidth_; }
    void SetPenWidth(int value);

    // The panel's own colour; setting another one clears ParentColor.
    TColor Color() const { return color_; }
    void SetColor(TColor value);

    // While true the panel takes the colour of its parent and follows it.
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);

    // The effective bevel width: BevelWidth, but at most half the smaller side.
    int AdjustBevel() const;

    // The rectangle in which the children are aligned.
    QRect AlignRect() const;
    void Realign();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    bool event(QEvent *event) override;

    // Paints the bevel and the fill inside it.
    void PaintBevel(QPainter &painter);
    // Called when the colour of the parent changed.
    virtual void ParentColorChanged();

private:
    friend void NotifyParentColorChanged(QWidget *parent);
    void ApplyColor(TColor value);
    QColor ShadowBase() const;

    TBevelStyle bevelStyle_ = TBevelStyle::bsRound;
    int bevelWidth_ = 5;
    int shadowOffset_ = 50;
    bool parentShadow_ = false;
    int penWidth_ = 1;
    TColor color_ = SysColor::clBtnFace;
    bool parentColor_ = false;
};

// The background colour of a control's parent: a panel's Color, otherwise the
// parent's window colour.
QColor ParentBackgroundColor(const QWidget *control);

// Tells the panels among the direct children of `parent` that its colour
// changed (called by the panels and the window frame when their colour is set).
void NotifyParentColorChanged(QWidget *parent);
