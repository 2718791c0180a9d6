// The live level bar: a bevelled panel with a horizontal bar, the current
// value as text at its right, and a hook through which the owner draws over
// the bar. A change of value redraws the bar at once (synchronously, without
// the bevel), so the bar can follow a fast source.
#pragma once

#include "controls/stcustompanel.h"

#include <functional>

class QPainter;
class TstGauge;

// Called after every drawing of the bar with the rectangle of the bar.
using TGaugeAfterDraw =
    std::function<void(TstGauge *gauge, QPainter &canvas, const QRect &gaugeRect)>;

class TstGauge : public TstCustomPanel {
    Q_OBJECT
public:
    explicit TstGauge(QWidget *parent = nullptr);

    int Min() const { return min_; }
    void SetMin(int value);
    int Max() const { return max_; }
    void SetMax(int value);
    int Current() const { return current_; }
    void SetCurrent(int value);

    TColor ForeColor() const { return foreColor_; }
    void SetForeColor(TColor value);
    TColor BackColor() const { return backColor_; }
    void SetBackColor(TColor value);

    // The share of the width, 0..100, that the bar takes; the rest is left
    // for the value text.
    int GaugePercent() const { return gaugePercent_; }
    void SetGaugePercent(int value);

    int Indent() const { return indent_; }
    void SetIndent(int value);

    void SetOnAfterDraw(TGaugeAfterDraw handler) { onAfterDraw_ = std::move(handler); }

    // The rectangle inside the bevel and the indent that the bar drawing covers.
    QRect GaugeArea() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void Redraw();
    void DrawGauge(QPainter &painter);

    int min_ = 0;
    int max_ = 100;
    int current_ = 0;
    TColor foreColor_ = clWhite;
    TColor backColor_ = clBlack;
    int gaugePercent_ = 80;
    int indent_ = 0;
    TGaugeAfterDraw onAfterDraw_;
};
