#include "generator/verification.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <limits>

namespace {

constexpr int kMaxLevels = 1000;
// Errors are tenths of a dB apart at best; this only absorbs the binary
// rounding of a difference such as -118.9 - -119.9.
constexpr double kRounding = 1e-9;

QString Number(double value) {
    return QLocale::c().toString(value, 'g', 10);
}

QString Fixed(double value) {
    // No "-0.0": a value that rounds to zero is written without a sign.
    if (std::abs(value) < 0.05) value = 0.0;
    return QLocale::c().toString(value, 'f', 1);
}

bool ParseNumber(const QString &text, double &value) {
    bool ok = false;
    value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(value);
}

} // namespace

double TVerifyReading::Error() const {
    return Shown ? *Shown - Applied : std::numeric_limits<double>::quiet_NaN();
}

bool TVerification::Passes(const TVerifyReading &reading) const {
    return reading.Shown && std::abs(reading.Error()) <= Tolerance + kRounding;
}

int TVerification::ReadingCount() const {
    int count = 0;
    for (const TVerifyPoint &point : Points)
        count += int(point.Readings.size());
    return count;
}

int TVerification::FailureCount() const {
    int count = 0;
    for (const TVerifyPoint &point : Points)
        for (const TVerifyReading &reading : point.Readings)
            count += Passes(reading) ? 0 : 1;
    return count;
}

bool TVerification::Passed() const {
    return Complete && ReadingCount() > 0 && FailureCount() == 0;
}

std::optional<double> TVerification::WorstError() const {
    std::optional<double> worst;
    for (const TVerifyPoint &point : Points)
        for (const TVerifyReading &reading : point.Readings)
            if (reading.Shown && (!worst || std::abs(reading.Error()) > std::abs(*worst)))
                worst = reading.Error();
    return worst;
}

QString TVerification::VerdictText() const {
    const QString verdict = !Complete  ? QStringLiteral("INCOMPLETE")
                            : Passed() ? QStringLiteral("PASS")
                                       : QStringLiteral("FAIL");
    return QStringLiteral("%1 (tolerance \u00b1%2 dB)").arg(verdict, Fixed(Tolerance));
}

namespace Verification {

std::vector<double> DefaultLevels() {
    std::vector<double> levels;
    for (int level = -120; level <= -30; level += 10)
        levels.push_back(level);
    return levels;
}

bool ParseLevels(const QString &text, std::vector<double> &levels, QString &error) {
    const QString trimmed = text.trimmed();
    std::vector<double> read;
    const QStringList range = trimmed.split(QLatin1Char(':'));
    if (range.size() == 3) {
        double from = 0, to = 0, step = 0;
        if (!ParseNumber(range[0], from) || !ParseNumber(range[1], to) ||
            !ParseNumber(range[2], step)) {
            error = QStringLiteral("\"%1\" is not a level range FROM:TO:STEP.").arg(trimmed);
            return false;
        }
        step = std::abs(step);
        if (step == 0 && from != to) {
            error = QStringLiteral("The level step of \"%1\" must not be 0.").arg(trimmed);
            return false;
        }
        const double count = step == 0 ? 1 : std::floor(std::abs(to - from) / step + 1e-9) + 1;
        if (count > kMaxLevels) {
            error = QStringLiteral("\"%1\" gives %2 levels; at most %3 are allowed.")
                        .arg(trimmed, Number(count))
                        .arg(kMaxLevels);
            return false;
        }
        const double sign = to < from ? -1.0 : 1.0;
        for (int i = 0; i < int(count); ++i)
            read.push_back(from + sign * i * step);
    } else if (range.size() == 1) {
        static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
        for (const QString &item : trimmed.split(separators, Qt::SkipEmptyParts)) {
            double level = 0;
            if (!ParseNumber(item, level)) {
                error = QStringLiteral("\"%1\" is not a level in dBm.").arg(item);
                return false;
            }
            read.push_back(level);
        }
        if (read.size() > std::size_t(kMaxLevels)) {
            error = QStringLiteral("%1 levels are too many; at most %2 are allowed.")
                        .arg(read.size())
                        .arg(kMaxLevels);
            return false;
        }
    } else {
        error = QStringLiteral("\"%1\" is not a level range FROM:TO:STEP.").arg(trimmed);
        return false;
    }
    if (read.empty()) {
        error = QStringLiteral("Give at least one level.");
        return false;
    }
    levels = std::move(read);
    return true;
}

QString LevelsText(const std::vector<double> &levels) {
    if (levels.size() >= 3) {
        const double step = levels[1] - levels[0];
        bool even = step != 0;
        for (std::size_t i = 2; even && i < levels.size(); ++i)
            even = std::abs(levels[i] - levels[i - 1] - step) < 1e-9;
        if (even)
            return QStringLiteral("%1:%2:%3")
                .arg(Number(levels.front()), Number(levels.back()), Number(std::abs(step)));
    }
    QStringList items;
    for (double level : levels)
        items << Number(level);
    return items.join(QStringLiteral(", "));
}

QString ErrorText(const TVerifyReading &reading) {
    if (!reading.Shown) return QStringLiteral("no calibration");
    const QString text = Fixed(reading.Error());
    return text.startsWith(QLatin1Char('-')) || text == QLatin1String("0.0")
               ? text
               : QLatin1Char('+') + text;
}

QByteArray Csv(const TVerification &verification) {
    QByteArray csv = "frequency_hz,generator_dbm,applied_dbm,raw,shown_dbm,error_db,result,"
                     "tolerance_db\n";
    const QByteArray tolerance = Fixed(verification.Tolerance).toLatin1();
    for (const TVerifyPoint &point : verification.Points) {
        for (const TVerifyReading &reading : point.Readings) {
            csv += QByteArray::number(qulonglong(point.Hz)) + ',' +
                   Number(reading.Level).toLatin1() + ',' + Number(reading.Applied).toLatin1() +
                   ',' + QByteArray::number(reading.Raw) + ',';
            if (reading.Shown)
                csv += Fixed(*reading.Shown).toLatin1() + ',' + Fixed(reading.Error()).toLatin1();
            else
                csv += ',';
            csv += verification.Passes(reading) ? ",pass," : ",fail,";
            csv += tolerance + "\n";
        }
    }
    return csv;
}

} // namespace Verification
