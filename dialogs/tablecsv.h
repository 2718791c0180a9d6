// The CSV commands of the windows (docs/CSV.md): the table editor's
// "Export table as CSV…" and "Import table from CSV…" and the point list's
// "Export all points as CSV…". Each asks for the file in the program's file
// dialog, reads or writes it, and shows a refusal or a failed write in an
// error box owned by the calling window. None of them changes the
// calibration set: the editor takes an imported table as one of its own
// edits, stored only at OK.
#pragma once

#include "calibration/calcsv.h"

#include <QString>

class QWidget;

namespace TableCsv {

// The texts of the menu entries.
QString ExportTableText();  // "Export table as CSV…"
QString ImportTableText();  // "Import table from CSV…"
QString ExportPointsText(); // "Export all points as CSV…"

// Asks for a CSV file and reads the table of point from it. True with table
// replaced; false, table untouched, when the user cancelled or the file was
// refused (its message with line and column shown).
bool ImportTable(QWidget *owner, const TCsvPoint &point, TDbmTable &table);

// Asks for a file (proposing one named after point) and writes table as a
// "raw,dbm" CSV. False when cancelled or the write failed (shown).
bool ExportTable(QWidget *owner, const TCsvPoint &point, const TDbmTable &table);

// Asks for a file (proposing the calibration file's name with ".csv") and
// writes the tables of every point of receiver and mode in the open set
// cal. False when cancelled or a read or the write failed (shown).
bool ExportPoints(QWidget *owner, int32_t cal, const QByteArray &receiver, int32_t mode,
                  const QString &calFileName);

} // namespace TableCsv
