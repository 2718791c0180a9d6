// A progress gauge: a bar (horizontal or vertical), a pie, a needle or the
// percentage alone. The bar is composed off-screen by exclusive-or, so the
// percentage text shows inverted where it crosses the bar.
#pragma once

#include "controls/stglobal.h"

#include <QWidget>

enum class TCGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };
enum class TGaugeBorderStyle { bsNone, bsSingle };

class TCGauge : public QWidget {
    Q_OBJECT
public:
    explicit TCGauge(QWidget *parent = nullptr);

    TCGaugeKind Kind() const { return kind_; }
    void SetKind(TCGaugeKind value);

    // Setting a bound beyond the other throws std::out_of_range with the text
    // "Value must be between %d and %d" and changes nothing.
    int MinValue() const { return minValue_; }
    void SetMinValue(int value);
    int MaxValue() const { return maxValue_; }
    void SetMaxValue(int value);

    int Progress() const { return progress_; }
    // Clamps into MinValue..MaxValue; repaints only when the whole percentage
    // changes.
    void SetProgress(int value);
    // SetProgress(Progress + delta), then repaints in any case.
    void AddProgress(int delta);

    // The whole percentage done, rounded down; 0 for an empty range.
    int PercentDone() const;

    TColor ForeColor() const { return foreColor_; }
    void SetForeColor(TColor value);
    TColor BackColor() const { return backColor_; }
    void SetBackColor(TColor value);

    bool ShowText() const { return showText_; }
    void SetShowText(bool value);

    TGaugeBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TGaugeBorderStyle value);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void PaintBackground(QPainter &painter, const QRect &r) const;
    void PaintBar(QPainter &painter, const QRect &r, bool horizontal) const;
    void PaintPie(QPainter &painter, const QRect &r) const;
    void PaintNeedle(QPainter &painter, const QRect &r) const;
    void PaintText(QPainter &painter, const QRect &r) const;

    TCGaugeKind kind_ = TCGaugeKind::gkHorizontalBar;
    int minValue_ = 0;
    int maxValue_ = 100;
    int progress_ = 0;
    TColor foreColor_ = clBlack;
    TColor backColor_ = clWhite;
    bool showText_ = true;
    TGaugeBorderStyle borderStyle_ = TGaugeBorderStyle::bsSingle;
};
