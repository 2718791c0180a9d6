// The program's registry keys. On Linux QSettings keeps them as INI files in
// the user's (and the system's) configuration folders; tests redirect those.
#pragma once

#include <QSettings>
#include <QString>

#include <memory>
#include <optional>

namespace platform {

// Current user, "Software\Korvanta\S-meter Calibrator for K740".
std::unique_ptr<QSettings> OpenUserKey();

// Local machine, "Software\QMV" (read only by the program).
std::unique_ptr<QSettings> OpenMachineQmvKey();

// An integer value; a value that is missing or not an integer counts as missing.
std::optional<qint64> ReadInteger(const QSettings &key, const QString &name);

// A text value, or nothing when missing.
std::optional<QString> ReadString(const QSettings &key, const QString &name);

} // namespace platform
