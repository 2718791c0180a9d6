#include "platform/registry.h"

namespace platform {

std::unique_ptr<QSettings> OpenUserKey() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Korvanta"),
                                       QStringLiteral("S-meter Calibrator for K740"));
}

std::unique_ptr<QSettings> OpenMachineQmvKey() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::SystemScope,
                                       QStringLiteral("QMV"));
}

std::optional<qint64> ReadInteger(const QSettings &key, const QString &name) {
    const QVariant value = key.value(name);
    if (!value.isValid())
        return std::nullopt;
    bool ok = false;
    const qint64 number = value.toString().trimmed().toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return number;
}

std::optional<QString> ReadString(const QSettings &key, const QString &name) {
    const QVariant value = key.value(name);
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
}

} // namespace platform
