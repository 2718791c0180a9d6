#include "calibration/frequencytext.h"

#include <QLocale>

QString FrequencyText(std::uint64_t hz) {
    static const char *const units[] = {"Hz", "kHz", "MHz", "GHz"};
    double value = double(hz);
    int unit = 0;
    while (value >= 1800.0 && unit < 3) {
        value /= 1000.0;
        ++unit;
    }
    QString text = QString::number(value, 'g', 15);
    text.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return text + QLatin1Char(' ') + QLatin1String(units[unit]);
}
