#include "dialogs/strtofloat.h"

#include "platform/application.h"

#include <QLocale>

#include <cmath>

std::optional<double> ParseFloat(const QString &text) {
    const QString trimmed = text.trimmed();
    // Group separators are refused: "1,5" must not become 15.
    QLocale local;
    local.setNumberOptions(local.numberOptions() | QLocale::RejectGroupSeparator);
    QLocale c = QLocale::c();
    c.setNumberOptions(c.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    double value = local.toDouble(trimmed, &ok);
    if (!ok) value = c.toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value == 0.0 ? 0.0 : value;
}

double StrToFloat(const QString &text) {
    const std::optional<double> value = ParseFloat(text);
    if (!value)
        throw platform::EInputError(
            QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return *value;
}
