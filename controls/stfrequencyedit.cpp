#include "controls/stfrequencyedit.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr std::int64_t kUnitDivisor[5] = {1, 1000, 1000000, 1000000000, 1};

QChar DecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.front();
}

// Our numbers are written in the C locale and get the user's separator only,
// never a group separator.
QString Localised(QString text) {
    const QChar separator = DecimalSeparator();
    if (separator != u'.') text.replace(u'.', separator);
    return text;
}

// Up to 15 significant digits, no trailing zeros, "1E15"-style exponents.
QString GeneralFormat(double value) {
    QString text = QString::number(value, 'g', 15);
    const auto e = text.indexOf(u'e');
    if (e >= 0) {
        const int exponent = text.mid(e + 1).toInt();
        text = text.left(e) + u'E' + QString::number(exponent);
    }
    return Localised(text);
}

// A fixed-point text with `maxDigits` decimals, trailing zeros dropped down
// to `minDigits` decimals.
QString FixedFormat(double value, int maxDigits, int minDigits) {
    QString text = QString::number(value, 'f', maxDigits);
    if (maxDigits > 0) {
        int keep = int(text.length());
        const int minLength = int(text.length()) - (maxDigits - minDigits);
        while (keep > minLength && text[keep - 1] == u'0')
            --keep;
        if (text[keep - 1] == u'.') --keep;
        text.truncate(keep);
    }
    if (text.startsWith(u'-') &&
        !std::any_of(text.begin(), text.end(), [](QChar c) { return c >= u'1' && c <= u'9'; }))
        text.remove(0, 1);
    return Localised(text);
}

std::int64_t SaturatedProduct(std::int64_t a, std::int64_t b) {
    std::int64_t product = 0;
    if (__builtin_mul_overflow(a, b, &product)) return std::numeric_limits<std::int64_t>::max();
    return product;
}

std::int64_t Magnitude(std::int64_t v) {
    if (v == std::numeric_limits<std::int64_t>::min())
        return std::numeric_limits<std::int64_t>::max();
    return v < 0 ? -v : v;
}

} // namespace

const QString TstFrequencyEdit::UnitLabels[5] = {QStringLiteral(" Hz "), QStringLiteral(" kHz"),
                                                 QStringLiteral(" MHz"), QStringLiteral(" GHz"),
                                                 QStringLiteral("    ")};

QString Freq2str(std::int64_t v) {
    const std::int64_t a = Magnitude(v);
    if (a < 1500) return GeneralFormat(double(v)) + QStringLiteral(" Hz");
    if (a < 1500000) return GeneralFormat(double(v) / 1e3) + QStringLiteral(" kHz");
    if (a < 1500000000) return GeneralFormat(double(v) / 1e6) + QStringLiteral(" MHz");
    return GeneralFormat(double(v) / 1e9) + QStringLiteral(" GHz");
}

TstFrequencyEdit::TstFrequencyEdit(QWidget *parent) : TstAlignEdit(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignTop);
    SetMaxLength(12);
    setText(QStringLiteral("0"));
    AdjustEditRect();
    SetEditRect();
}

int TstFrequencyEdit::DisplayUnit() const {
    const std::int64_t a = Magnitude(value_);
    if (showUnit_ == fuHz || (showUnit_ == fuUndef && a < hzLimit_)) return fuHz;
    if (showUnit_ == fukHz || (showUnit_ == fuUndef && a < SaturatedProduct(hzLimit_, 1000)))
        return fukHz;
    if (showUnit_ == fuMHz || (showUnit_ == fuUndef && a < SaturatedProduct(hzLimit_, 1000000)))
        return fuMHz;
    return fuGHz;
}

void TstFrequencyEdit::SetValue(std::int64_t v) {
    const bool undefShown = v == undefValue_ && displayUndefValueText_;
    if ((min_ != 0 || max_ != 0) && !undefShown) {
        if (v > max_) v = max_;
        if (v < min_) v = min_;
    }
    const bool changed = v != value_;
    value_ = v;
    SetText();
    if (changed) emit OnValueChange(this);
    if (hasFocus() && exitControl_) exitControl_->setFocus();
}

void TstFrequencyEdit::SetMin(std::int64_t value) {
    if (min_ == value) return;
    min_ = value;
    SetValue(value_);
}

void TstFrequencyEdit::SetMax(std::int64_t value) {
    if (max_ == value) return;
    max_ = value;
    SetValue(value_);
}

void TstFrequencyEdit::SetShowUnit(TFrequencyUnit value) {
    if (showUnit_ == value) return;
    showUnit_ = value;
    SetText();
}

void TstFrequencyEdit::SetHzLimit(std::int64_t value) {
    value = std::max<std::int64_t>(value, 1);
    if (hzLimit_ == value) return;
    hzLimit_ = value;
    SetText();
}

void TstFrequencyEdit::SetFixedPoint(TFixedPoint value) {
    if (fixedPoint_ == value) return;
    fixedPoint_ = value;
    SetText();
}

void TstFrequencyEdit::SetSmallFixedPoint(TFixedPoint value) {
    if (smallFixedPoint_ == value) return;
    smallFixedPoint_ = value;
    if (!focused_) update();
}

void TstFrequencyEdit::SetSmallColor(TColor value) {
    if (smallColor_ == value) return;
    smallColor_ = value;
    if (!focused_) update();
}

void TstFrequencyEdit::SetSmallFontSizePercent(int value) {
    value = std::clamp(value, 0, 100);
    if (smallFontSizePercent_ == value) return;
    smallFontSizePercent_ = value;
    if (!focused_) update();
}

void TstFrequencyEdit::SetUndefValue(std::int64_t value) {
    if (undefValue_ == value) return;
    undefValue_ = value;
    SetText();
}

void TstFrequencyEdit::SetDisplayUndefValueText(bool value) {
    if (displayUndefValueText_ == value) return;
    displayUndefValueText_ = value;
    SetText();
}

void TstFrequencyEdit::SetUndefValueText(const QString &value) {
    if (undefValueText_ == value) return;
    undefValueText_ = value;
    if (value_ == undefValue_) SetText();
}

std::int64_t TstFrequencyEdit::GetValue() const {
    QString text = this->text().trimmed();
    const QChar separator = DecimalSeparator();
    if (separator != u'.') {
        if (text.contains(u'.')) return value_;
        text.replace(separator, u'.');
    }
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double number = c.toDouble(text, &ok);
    if (!ok) return value_;
    const double hertz = std::nearbyint(number * double(kUnitDivisor[unit_]));
    // 2^63 is the first double beyond the 64-bit range.
    if (!std::isfinite(hertz) || hertz < -9223372036854775808.0 || hertz >= 9223372036854775808.0)
        return value_;
    return std::int64_t(hertz);
}

void TstFrequencyEdit::UpdateValue() {
    SetValue(GetValue());
}

void TstFrequencyEdit::SetText() {
    int unit = 4;
    QString text;
    if (ShowsUndefText()) {
        text = undefValueText_;
    } else {
        unit = DisplayUnit();
        if (unit == fuHz)
            text = QString::number(value_);
        else if (fixedPoint_ == fpNone)
            text = GeneralFormat(double(value_) / double(kUnitDivisor[unit]));
        else {
            const int digits = 3 * unit;
            text = FixedFormat(double(value_) / double(kUnitDivisor[unit]), digits,
                               digits - (fixedPoint_ - fp1Hz));
        }
    }
    // The text first: the unit check that a change of the text runs must not
    // overrule the unit chosen here.
    setText(text);
    unit_ = unit;
    update();
    setCursorPosition(int(this->text().length()));
}

QString TstFrequencyEdit::PaintedText() const {
    if (ShowsUndefText()) return undefValueText_;
    const int unit = DisplayUnit();
    if (unit == fuHz) {
        std::int64_t v = value_;
        if (fixedPoint_ >= fp10Hz) {
            const std::int64_t step = fixedPoint_ == fp10Hz    ? 10
                                      : fixedPoint_ == fp100Hz ? 100
                                                               : 1000;
            v = v / step * step;
        }
        return QString::number(v);
    }
    const double number = double(value_) / double(kUnitDivisor[unit]);
    if (fixedPoint_ == fpNone) return GeneralFormat(number);
    const int digits = 3 * unit - (fixedPoint_ - fp1Hz);
    return FixedFormat(number, digits, digits);
}

void TstFrequencyEdit::SetUnit(int unit) {
    if (unit_ == unit) return;
    unit_ = unit;
    update();
}

void TstFrequencyEdit::CheckUnits() {
    if (min_ == 0 && max_ == 0) return;
    if (GetValue() > max_) {
        static constexpr int kStepDown[5] = {fuHz, fuHz, fukHz, fuMHz, fuGHz};
        SetUnit(kStepDown[unit_]);
    }
}

void TstFrequencyEdit::KeyDown(int &key, Qt::KeyboardModifiers shift) {
    if (!isReadOnly()) {
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            UpdateValue();
        else if (key == Qt::Key_Escape)
            SetValue(value_);
    }
    TstAlignEdit::KeyDown(key, shift);
}

void TstFrequencyEdit::KeyPress(QChar &key) {
    const QChar separator = DecimalSeparator();
    if (!isReadOnly()) {
        if (key == u',' || key == u'.') key = separator;
        switch (key.toUpper().unicode()) {
        case u'G':
            SetUnit(fuGHz);
            break;
        case u'H':
            SetUnit(fuHz);
            break;
        case u'K':
            SetUnit(fukHz);
            break;
        case u'M':
            SetUnit(fuMHz);
            break;
        default:
            break;
        }
    }
    bool accepted = key == u'\b' || key == u'-' || (key >= u'0' && key <= u'9') || key == separator;
    if (key == u'-' && text().contains(u'-')) accepted = false;
    if (key == separator && text().contains(separator)) accepted = false;
    if (!accepted) key = QChar(0);
    TstAlignEdit::KeyPress(key);
}

void TstFrequencyEdit::Change() {
    TstAlignEdit::Change();
    CheckUnits();
}

void TstFrequencyEdit::DoEnter() {
    TstAlignEdit::DoEnter();
    focused_ = true;
    SetEditRect();
    if (AutoSelect())
        selectAll();
    else
        end(false);
}

void TstFrequencyEdit::DoExit() {
    if (!isReadOnly()) {
        if (updateOnExit_)
            UpdateValue();
        else
            SetValue(value_);
    }
    TstAlignEdit::DoExit();
    focused_ = false;
    SetEditRect();
}

void TstFrequencyEdit::AdjustEditRect() {
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const QString &label : UnitLabels)
        widest = std::max(widest, metrics.horizontalAdvance(label));
    lineHeight_ = metrics.height();
    // Inside the single border of the 3D look: the system's border width.
    left_ = 1;
    top_ = 1;
    right_ = ClientRect().width() - widest - left_;
}

void TstFrequencyEdit::SetEditRect() {
    UpdateTextMargins();
    update();
}

void TstFrequencyEdit::UpdateTextMargins() {
    // The native entry keeps a margin of 2 pixels at the sides and 1 pixel at
    // the top inside its text margins, and a right-aligned text leaves about 2
    // pixels for the caret; place its text line so that the text stands where
    // the painted one does (to a pixel). Without the focus the native text is
    // not painted at all.
    constexpr int caretRoom = 2;
    const int b = BorderWidth();
    const int left = std::max(0, b - 2);
    const int top = std::max(0, b + top_ - 1);
    const int right = std::max(0, width() - (b + right_) - 2 - caretRoom);
    const int bottom = std::max(0, height() - (b + top_ + lineHeight_ + 1));
    setTextMargins(left, top, right, bottom);
}

void TstFrequencyEdit::DrawLabel(QPainter &painter, const QColor &color) const {
    const QRect area(QPoint(right_, top_), QPoint(ClientRect().width() - 1, lineHeight_ - 1));
    painter.setFont(font());
    painter.setPen(color);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, UnitLabels[unit_]);
}

void TstFrequencyEdit::PaintContent(QPaintEvent *event) {
    const QRect client = ClientRect();
    const QColor background = ColorToQColor(Color());
    if (focused_) {
        {
            QPainter painter(this);
            painter.fillRect(client, background);
        }
        QLineEdit::paintEvent(event);
        QPainter painter(this);
        painter.translate(client.topLeft());
        DrawLabel(painter, TextColor());
        return;
    }

    QPainter painter(this);
    painter.fillRect(client, background);
    painter.translate(client.topLeft());

    QString large = PaintedText();
    int largeRight = right_;
    if (fixedPoint_ != fpNone && smallFixedPoint_ >= fp10Hz && smallFixedPoint_ > fixedPoint_) {
        const int n = smallFixedPoint_ - fixedPoint_;
        const QString small = large.right(n);
        large = large.length() < n + 1 ? QString() : large.left(large.length() - n);

        QFont smallFont = font();
        if (font().pixelSize() > 0)
            smallFont.setPixelSize(std::max(1, font().pixelSize() * smallFontSizePercent_ / 100));
        else
            smallFont.setPointSize(std::max(1, font().pointSize() * smallFontSizePercent_ / 100));
        const QFontMetrics largeMetrics(font());
        const QFontMetrics smallMetrics(smallFont);
        // The small digits stand on the large digits' baseline.
        const int top = top_ + lineHeight_ - smallMetrics.height() -
                        (largeMetrics.descent() - smallMetrics.descent());
        painter.setFont(smallFont);
        painter.setPen(isEnabled() ? ColorToQColor(smallColor_)
                                   : ColorToQColor(SysColor::clGrayText));
        painter.drawText(QRect(QPoint(left_, top), QPoint(right_ - 1, lineHeight_ - 1)),
                         Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, small);
        largeRight = right_ - smallMetrics.horizontalAdvance(small);
    }
    painter.setFont(font());
    painter.setPen(TextColor());
    painter.drawText(QRect(QPoint(left_, top_), QPoint(largeRight - 1, lineHeight_ - 1)),
                     Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, large);
    DrawLabel(painter, TextColor());
}

void TstFrequencyEdit::resizeEvent(QResizeEvent *event) {
    TstAlignEdit::resizeEvent(event);
    AdjustEditRect();
    SetEditRect();
}

void TstFrequencyEdit::changeEvent(QEvent *event) {
    TstAlignEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        AdjustEditRect();
        SetEditRect();
    }
}
