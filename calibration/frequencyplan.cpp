#include "calibration/frequencyplan.h"

#include "calibration/frequencytext.h"

#include <algorithm>
#include <cmath>

namespace FrequencyPlan {

namespace {

// Nothing near this is a radio frequency; it keeps the arithmetic far from
// overflow.
constexpr std::uint64_t kTooLarge = 1'000'000'000'000'000ull; // 1 PHz

enum class TRead { Ok, NotFrequency, NotWhole, TooLarge };

// Turns a failure into the message that names the entry.
struct TFailure {
    QString why;
};

class TParser {
public:
    TParser(const QString &text, const TLimits &limits) : text_(text), limits_(limits) {}

    TPlan Run() {
        TPlan plan;
        SkipSeparators();
        if (AtEnd()) return Refuse(plan, 0, 0, QStringLiteral("No frequency given."));
        int entry = 0;
        while (!AtEnd()) {
            ++entry;
            const int start = pos_;
            const QString why = Entry(plan.Frequencies);
            if (!why.isEmpty())
                return Refuse(plan, entry, start + 1,
                              QStringLiteral("Entry %1 (character %2): %3")
                                  .arg(entry)
                                  .arg(start + 1)
                                  .arg(why));
            SkipSeparators();
        }
        std::sort(plan.Frequencies.begin(), plan.Frequencies.end());
        plan.Frequencies.erase(std::unique(plan.Frequencies.begin(), plan.Frequencies.end()),
                               plan.Frequencies.end());
        plan.Ok = true;
        return plan;
    }

    // One frequency filling the whole text.
    bool Single(std::uint64_t &hz) {
        SkipBlanks();
        if (ReadFrequency(hz) != TRead::Ok) return false;
        SkipBlanks();
        return AtEnd();
    }

private:
    static TPlan Refuse(TPlan &plan, int entry, int position, const QString &message) {
        plan.Frequencies.clear();
        plan.Ok = false;
        plan.Error = {entry, position, message};
        return plan;
    }

    bool AtEnd() const { return pos_ >= text_.size(); }
    QChar Peek(int ahead = 0) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : QChar();
    }
    static bool IsSeparator(QChar c) { return c == u',' || c == u';' || c.isSpace(); }
    void SkipSeparators() {
        while (!AtEnd() && IsSeparator(Peek()))
            ++pos_;
    }
    void SkipBlanks() {
        while (!AtEnd() && (Peek() == u' ' || Peek() == u'\t'))
            ++pos_;
    }

    // The text of the entry starting at `start`, as the message quotes it.
    QString Quote(int start) const {
        int end = start;
        while (end < text_.size() && !IsSeparator(text_[end]))
            ++end;
        QString shown = text_.mid(start, std::min(end - start, 24));
        if (end - start > 24) shown += QStringLiteral("…");
        return QLatin1Char('"') + shown + QLatin1Char('"');
    }

    // A run of letters at the position, without consuming it.
    QString Letters() const {
        int end = pos_;
        while (end < text_.size() && text_[end].isLetter())
            ++end;
        return text_.mid(pos_, end - pos_).toLower();
    }

    static int UnitExponent(const QString &unit) {
        if (unit == u"hz") return 0;
        if (unit == u"k" || unit == u"khz") return 3;
        if (unit == u"m" || unit == u"mhz") return 6;
        if (unit == u"g" || unit == u"ghz") return 9;
        return -1;
    }

    // Digits with one optional decimal point; the value in hertz, exactly.
    TRead ReadFrequency(std::uint64_t &hz) {
        QString digits;
        int fraction = -1; // digits after the point, once there is one
        while (!AtEnd() &&
               (Peek().isDigit() || (Peek() == u'.' && fraction < 0 && Peek(1) != u'.'))) {
            if (Peek() == u'.') {
                fraction = 0;
            } else {
                digits += Peek();
                if (fraction >= 0) ++fraction;
            }
            ++pos_;
        }
        if (digits.isEmpty()) return TRead::NotFrequency;
        if (fraction < 0) fraction = 0;
        // The unit may follow after blanks; letters that are no unit stay
        // for the caller ("dec"), or make this no frequency when they touch.
        const int afterNumber = pos_;
        SkipBlanks();
        int exponent = 0;
        const QString letters = Letters();
        if (!letters.isEmpty()) {
            exponent = UnitExponent(letters);
            if (exponent < 0) {
                if (pos_ == afterNumber) return TRead::NotFrequency;
                exponent = 0;
                pos_ = afterNumber;
            } else {
                pos_ += int(letters.size());
            }
        } else {
            pos_ = afterNumber;
        }
        // value = digits x 10^(exponent - fraction), a whole number or refused.
        while (digits.size() > 1 && digits.front() == u'0')
            digits.remove(0, 1);
        int scale = exponent - fraction;
        while (scale < 0 && digits.size() > 1 && digits.back() == u'0') {
            digits.chop(1);
            ++scale;
        }
        if (scale < 0 && digits != u"0") return TRead::NotWhole;
        if (digits.size() + std::max(scale, 0) > 16) return TRead::TooLarge;
        std::uint64_t value = digits.toULongLong();
        for (int i = 0; i < scale; ++i)
            value *= 10;
        if (value >= kTooLarge) return TRead::TooLarge;
        hz = value;
        return TRead::Ok;
    }

    QString ReadError(TRead read, int start) const {
        switch (read) {
        case TRead::NotWhole:
            return QStringLiteral("%1 is not a whole number of hertz (a unit such as \"M\" or "
                                  "\"MHz\" may be missing).")
                .arg(Quote(start));
        case TRead::TooLarge:
            return QStringLiteral("%1 is too large.").arg(Quote(start));
        default:
            return QStringLiteral("%1 is not a frequency.").arg(Quote(start));
        }
    }

    QString Within(std::uint64_t hz) const {
        if (hz < limits_.Lowest)
            return QStringLiteral("%1 is below the lowest frequency, %2.")
                .arg(FrequencyText(hz), FrequencyText(limits_.Lowest));
        if (hz > limits_.Highest)
            return QStringLiteral("%1 is above the highest frequency, %2.")
                .arg(FrequencyText(hz), FrequencyText(limits_.Highest));
        return QString();
    }

    // Reads one entry into `out`; the reason when it does not fit.
    QString Entry(std::vector<std::uint64_t> &out) {
        const int start = pos_;
        std::uint64_t from = 0;
        if (const TRead r = ReadFrequency(from); r != TRead::Ok) return ReadError(r, start);
        const int afterFrom = pos_;
        SkipBlanks();
        if (Peek() != u'.' || Peek(1) != u'.') {
            pos_ = afterFrom;
            if (!AtEnd() && !IsSeparator(Peek())) return ReadError(TRead::NotFrequency, start);
            if (QString why = Within(from); !why.isEmpty()) return why;
            return Add(out, {from});
        }
        pos_ += 2;
        SkipBlanks();
        std::uint64_t to = 0;
        if (const TRead r = ReadFrequency(to); r != TRead::Ok)
            return r == TRead::NotFrequency
                       ? QStringLiteral("a range needs an end: FROM..TO/STEP or "
                                        "FROM..TO/COUNTdec.")
                       : ReadError(r, start);
        SkipBlanks();
        if (Peek() != u'/')
            return QStringLiteral("a range needs a step or a count per decade after \"/\": "
                                  "FROM..TO/STEP or FROM..TO/COUNTdec.");
        ++pos_;
        SkipBlanks();
        TPlan part;
        if (int count = 0; ReadPerDecade(count)) {
            part = PerDecade(from, to, count, limits_);
        } else {
            std::uint64_t step = 0;
            if (const TRead r = ReadFrequency(step); r != TRead::Ok) return ReadError(r, start);
            part = LinearRange(from, to, step, limits_);
        }
        if (!AtEnd() && !IsSeparator(Peek())) return ReadError(TRead::NotFrequency, start);
        if (!part.Ok) return part.Error.Message;
        return Add(out, part.Frequencies);
    }

    // "10dec", "10 decade": true and the count; otherwise nothing is consumed.
    bool ReadPerDecade(int &count) {
        const int start = pos_;
        QString digits;
        while (!AtEnd() && Peek().isDigit())
            digits += text_[pos_++];
        SkipBlanks();
        const QString word = Letters();
        if (!digits.isEmpty() && (word == u"dec" || word == u"decade")) {
            pos_ += int(word.size());
            bool ok = false;
            count = digits.size() > 6 ? -1 : digits.toInt(&ok);
            if (!ok) count = -1;
            return true;
        }
        pos_ = start;
        return false;
    }

    QString Add(std::vector<std::uint64_t> &out, const std::vector<std::uint64_t> &more) {
        if (out.size() + more.size() > std::size_t(kMaxPoints))
            return QStringLiteral("more than %1 points in all.").arg(kMaxPoints);
        for (const std::uint64_t hz : more)
            out.push_back(TunableFrequency(hz));
        return QString();
    }

    const QString &text_;
    const TLimits &limits_;
    int pos_ = 0;
};

TPlan Fail(const QString &message) {
    TPlan plan;
    plan.Error = {1, 1, message};
    return plan;
}

// The checks both kinds of range share; empty when the range is usable.
QString RangeProblem(std::uint64_t from, std::uint64_t to, const TLimits &limits) {
    if (from < limits.Lowest)
        return QStringLiteral("%1 is below the lowest frequency, %2.")
            .arg(FrequencyText(from), FrequencyText(limits.Lowest));
    if (to > limits.Highest)
        return QStringLiteral("%1 is above the highest frequency, %2.")
            .arg(FrequencyText(to), FrequencyText(limits.Highest));
    if (to < from)
        return QStringLiteral("the range ends (%1) below its start (%2).")
            .arg(FrequencyText(to), FrequencyText(from));
    return QString();
}

TPlan Done(std::vector<std::uint64_t> frequencies) {
    TPlan plan;
    for (std::uint64_t &hz : frequencies)
        hz = TunableFrequency(hz);
    std::sort(frequencies.begin(), frequencies.end());
    frequencies.erase(std::unique(frequencies.begin(), frequencies.end()), frequencies.end());
    plan.Frequencies = std::move(frequencies);
    plan.Ok = true;
    return plan;
}

// x rounded to three significant digits (and at least to whole hertz).
std::uint64_t ThreeDigits(double x) {
    if (x < 1000) return std::uint64_t(std::llround(x));
    const double unit = std::pow(10.0, std::floor(std::log10(x)) - 2);
    return std::uint64_t(std::llround(x / unit)) * std::uint64_t(std::llround(unit));
}

} // namespace

std::uint64_t TunableFrequency(std::uint64_t hz) {
    return hz > kTenHertzTuning ? hz / 10 * 10 : hz;
}

bool ParseFrequency(const QString &text, std::uint64_t &hz) {
    const TLimits limits;
    TParser parser(text, limits);
    std::uint64_t value = 0;
    if (!parser.Single(value)) return false;
    hz = value;
    return true;
}

TPlan Parse(const QString &text, const TLimits &limits) {
    return TParser(text, limits).Run();
}

TPlan LinearRange(std::uint64_t from, std::uint64_t to, std::uint64_t step, const TLimits &limits) {
    if (QString why = RangeProblem(from, to, limits); !why.isEmpty()) return Fail(why);
    if (step == 0) return Fail(QStringLiteral("the step must be at least 1 Hz."));
    if ((to - from) / step >= std::uint64_t(kMaxPoints))
        return Fail(QStringLiteral("the range gives more than %1 points.").arg(kMaxPoints));
    std::vector<std::uint64_t> frequencies;
    for (std::uint64_t hz = from; hz <= to && hz >= from; hz += step)
        frequencies.push_back(hz);
    return Done(std::move(frequencies));
}

TPlan PerDecade(std::uint64_t from, std::uint64_t to, int perDecade, const TLimits &limits) {
    if (QString why = RangeProblem(from, to, limits); !why.isEmpty()) return Fail(why);
    if (perDecade < 1 || perDecade > kMaxPerDecade)
        return Fail(QStringLiteral("the count per decade must be 1 to %1.").arg(kMaxPerDecade));
    std::vector<std::uint64_t> frequencies{from};
    for (int k = 1;; ++k) {
        const double exact = double(from) * std::pow(10.0, double(k) / perDecade);
        const std::uint64_t hz = ThreeDigits(exact);
        if (exact > double(to) * (1 + 1e-12) || hz > to) break;
        if (hz > frequencies.back()) frequencies.push_back(hz);
        if (int(frequencies.size()) > kMaxPoints)
            return Fail(QStringLiteral("the range gives more than %1 points.").arg(kMaxPoints));
    }
    return Done(std::move(frequencies));
}

TSplit SplitExisting(const std::vector<std::uint64_t> &plan,
                     const std::function<bool(std::uint64_t)> &exists) {
    TSplit split;
    for (const std::uint64_t hz : plan)
        (exists && exists(hz) ? split.Existing : split.New).push_back(hz);
    return split;
}

} // namespace FrequencyPlan
