// TstIntEdit: an integer field with a range, an undefined-value text, key
// filtering (digits, one '-', backspace) and change events.
//
// SetValue is the one way a value enters the field: the range is applied
// (unless it is the undefined value on display), the text rewritten, and on a
// change OnValueChanging may refuse the new value before it is stored and
// OnValueChange fires. Enter takes the typed text, Escape throws it away;
// leaving the field takes or drops it as UpdateOnExit says.
#pragma once

#include "controls/stcustomedit.h"

#include <cstdint>

class TstIntEdit : public TstCustomEdit {
    Q_OBJECT
public:
    using TOnChanging = std::function<void(QObject *sender, std::int32_t value, bool &allow)>;

    explicit TstIntEdit(QWidget *parent = nullptr);

    std::int32_t Value() const { return value_; }
    void SetValue(std::int32_t v);
    // Both 0: no range. Min wins over Max when Min > Max.
    std::int32_t Min() const { return min_; }
    void SetMin(std::int32_t value);
    std::int32_t Max() const { return max_; }
    void SetMax(std::int32_t value);
    std::int32_t UndefValue() const { return undefValue_; }
    void SetUndefValue(std::int32_t value);
    bool DisplayUndefValueText() const { return displayUndefValueText_; }
    void SetDisplayUndefValueText(bool value);
    QString UndefValueText() const { return undefValueText_; }
    void SetUndefValueText(const QString &value);

    Qt::Alignment Alignment() const { return alignment_; }
    void SetAlignment(Qt::Alignment value);

    // The typed text as an integer, or Value when it is none (empty, a lone
    // '-', beyond 32 bits).
    std::int32_t TypedValue() const;

    // A veto: the handler answers at once whether the new value may stand.
    void SetOnValueChanging(TOnChanging handler) { onValueChanging_ = std::move(handler); }

signals:
    void OnValueChange(QObject *sender);

protected:
    void KeyDown(int &key, Qt::KeyboardModifiers shift) override;
    void KeyPress(QChar &key) override;
    void DoExit() override;

private:
    std::int32_t value_ = 0;
    std::int32_t min_ = 0;
    std::int32_t max_ = 0;
    std::int32_t undefValue_ = 0;
    bool displayUndefValueText_ = false;
    QString undefValueText_;
    Qt::Alignment alignment_ = Qt::AlignRight;
    TOnChanging onValueChanging_;
};
