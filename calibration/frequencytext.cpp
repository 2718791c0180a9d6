#include "calibration/frequencytext.h"

#include <QLocale>

QString FrequencyText(std::uint64_t hz) {
    static const char *const units[] = {"Hz", "kHz", "MHz", "GHz"};
    double value = static_cast<double>(hz);
    int unit = 0;
    while (value >= 1800 && unit < 3) {
        value /= 1000;
        ++unit;
    }
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 15) + QLatin1Char(' ') + QLatin1String(units[unit]);
}
