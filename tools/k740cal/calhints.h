// The hints k740cal adds where a bare refusal would leave the user guessing:
// what a set holds when no point matches the options, and that a file the
// library refuses is a CSV file meant for import.
#pragma once

#include "calibration/caltransfer.h"

#include <QString>
#include <QStringList>

namespace CalHints {

// The points of the set, one line per receiver and mode: "ZX-K740, mode -1
// (Default mode): 2 point(s): 7100000, 14250000 Hz", at most `shown`
// frequencies each; "no points" for an empty set.
QStringList HeldPoints(const Smsdk &sdk, int32_t cal, int shown = 8);

// The options of a filter as typed: "--mode 9 --frequency 7100000".
QString FilterText(const TTableFilter &filter);

// Whether the file at `path` is a readable CSV file: its name ends in ".csv"
// or its first line is one of the CSV headers.
bool LooksLikeCsv(const QString &path);

// What to say when a CSV file is given where a calibration file belongs.
QString CsvGivenText(const QString &path);

} // namespace CalHints
