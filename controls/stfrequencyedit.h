// TstFrequencyEdit: a one-line field for a frequency held as whole hertz.
//
// The value is shown as a decimal number in Hz, kHz, MHz or GHz with a unit
// label at the right edge of the field. While the field has the focus the
// native entry shows the editable text (every hertz the value has); without
// the focus the field paints the value itself, down to the FixedPoint digit,
// optionally with the digits below SmallFixedPoint in a smaller font on the
// same baseline.
//
// Typing: ',' and '.' become the locale's decimal separator (QLocale(), so
// the system locale unless QLocale::setDefault was called); the letters
// G/H/K/M pick the unit in which the typed number is read; everything but
// digits, one '-', one separator and backspace is refused and reaches the
// owner's OnKeyPress as QChar(0). Enter takes the typed number, Escape throws
// it away; leaving the field takes or drops it as UpdateOnExit says. While a
// range is set, a typed number above Max steps the unit down (one step per
// change of the text), so that "145" with Max 30 MHz reads as 145 kHz.
#pragma once

#include "controls/stalignedit.h"

#include <cstdint>

enum TFrequencyUnit { fuHz, fukHz, fuMHz, fuGHz, fuUndef };
// The finest digit shown: none fixed (general format), 1 Hz ... 1 kHz.
enum TFixedPoint { fpNone, fp1Hz, fp10Hz, fp100Hz, fp1kHz };

// The value in the largest unit that keeps the number at 1.5 or more, with its
// label: "1499 Hz", "1.5 kHz", "14.25 MHz", "2 GHz".
QString Freq2str(std::int64_t v);

class TstFrequencyEdit : public TstAlignEdit {
    Q_OBJECT
public:
    // The unit labels, indexed by the current unit (4: no unit).
    static const QString UnitLabels[5];

    explicit TstFrequencyEdit(QWidget *parent = nullptr);

    // The stored value, not the text being typed.
    std::int64_t Value() const { return value_; }
    void SetValue(std::int64_t v);
    // Both 0: no range. Min wins over Max when Min > Max.
    std::int64_t Min() const { return min_; }
    void SetMin(std::int64_t value);
    std::int64_t Max() const { return max_; }
    void SetMax(std::int64_t value);

    // fuUndef: the unit follows the value's size, by HzLimit.
    TFrequencyUnit ShowUnit() const { return showUnit_; }
    void SetShowUnit(TFrequencyUnit value);
    // Values below HzLimit are shown in Hz, below HzLimit*1000 in kHz, ...
    std::int64_t HzLimit() const { return hzLimit_; }
    void SetHzLimit(std::int64_t value);
    TFixedPoint FixedPoint() const { return fixedPoint_; }
    void SetFixedPoint(TFixedPoint value);

    TFixedPoint SmallFixedPoint() const { return smallFixedPoint_; }
    void SetSmallFixedPoint(TFixedPoint value);
    TColor SmallColor() const { return smallColor_; }
    void SetSmallColor(TColor value);
    // Size of the small digits' font in percent of the field's, 0..100.
    int SmallFontSizePercent() const { return smallFontSizePercent_; }
    void SetSmallFontSizePercent(int value);

    std::int64_t UndefValue() const { return undefValue_; }
    void SetUndefValue(std::int64_t value);
    bool DisplayUndefValueText() const { return displayUndefValueText_; }
    void SetDisplayUndefValueText(bool value);
    QString UndefValueText() const { return undefValueText_; }
    void SetUndefValueText(const QString &value);

    // The value the text stands for in the current unit, rounded to whole
    // hertz (halves to even); Value when the text is no number.
    std::int64_t GetValue() const;
    // Takes the typed text: SetValue(GetValue()).
    void UpdateValue();
    // Rewrites the text from Value and picks the current unit.
    void SetText();

    // The unit of the text and of the label: 0..3 (Hz..GHz), 4 no unit.
    int CurrentUnit() const { return unit_; }
    // The text as painted without the focus (without the small digits' split).
    QString PaintedText() const;
    // The text area in client coordinates: x from 0 to the right edge, y
    // from the top offset down by the line height.
    int TextLeft() const { return left_; }
    int TextTop() const { return top_; }
    int TextRight() const { return right_; }
    int LineHeight() const { return lineHeight_; }

signals:
    void OnValueChange(QObject *sender);

protected:
    void KeyDown(int &key, Qt::KeyboardModifiers shift) override;
    void KeyPress(QChar &key) override;
    void Change() override;
    void DoEnter() override;
    void DoExit() override;
    void PaintContent(QPaintEvent *event) override;
    void UpdateTextMargins() override;

    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int DisplayUnit() const;
    bool ShowsUndefText() const { return displayUndefValueText_ && value_ == undefValue_; }
    void SetUnit(int unit);
    void CheckUnits();
    void AdjustEditRect();
    void SetEditRect();
    void DrawLabel(QPainter &painter, const QColor &color) const;

    std::int64_t value_ = 0;
    std::int64_t min_ = 0;
    std::int64_t max_ = 0;
    TFrequencyUnit showUnit_ = fuUndef;
    std::int64_t hzLimit_ = 2000;
    TFixedPoint fixedPoint_ = fpNone;
    TFixedPoint smallFixedPoint_ = fpNone;
    TColor smallColor_ = SysColor::clWindowText;
    int smallFontSizePercent_ = 70;
    std::int64_t undefValue_ = 0;
    bool displayUndefValueText_ = false;
    QString undefValueText_;

    int unit_ = fuHz;
    bool focused_ = false;
    int left_ = 0, top_ = 0, right_ = 0, lineHeight_ = 0;
};
