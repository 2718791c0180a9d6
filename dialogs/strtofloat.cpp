#include "dialogs/strtofloat.h"

#include "platform/application.h"

#include <QLocale>

#include <cmath>

double StrToFloat(const QString &text) {
    const QString trimmed = text.trimmed();
    // Group separators are refused: "1,5" must not become 15.
    QLocale local;
    local.setNumberOptions(local.numberOptions() | QLocale::RejectGroupSeparator);
    QLocale c = QLocale::c();
    c.setNumberOptions(c.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    double value = local.toDouble(trimmed, &ok);
    if (!ok) value = c.toDouble(trimmed, &ok);
    // Infinities and NaN are no numbers a user types.
    if (!ok || !std::isfinite(value))
        throw platform::EInputError(
            QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return value == 0.0 ? 0.0 : value;
}
