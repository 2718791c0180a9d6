// The CSV form of translation tables (docs/CSV.md).
//
// One line per table entry under the header "receiver,mode,frequency_hz,raw,dbm":
//
//     receiver,mode,frequency_hz,raw,dbm
//     ZX-K740,-1,7100000,100,-73.4
//
// Entries that hold the not-set value 0.0 are left out, and an absent line
// means not set. The table editor's files may carry only the raw and dbm
// columns; any other column they have must name the edited point.
//
// Reading accepts what spreadsheets write (CRLF line ends, a byte-order mark,
// blanks around fields, quoted fields) and refuses anything else with
// "file:line:column: message". A refused file changes nothing: the output
// arguments are written only on success.
#pragma once

#include "calibration/smsdk.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// One translation table as the CSV holds it.
struct TCsvTable {
    QByteArray Receiver;
    int32_t Mode = Smsdk::kDefaultMode;
    uint64_t Frequency = 0;
    TDbmTable Values{}; // not-set entries are 0.0
};

// The point a table-only file is read for (the table being edited).
struct TCsvPoint {
    QByteArray Receiver;
    int32_t Mode = Smsdk::kDefaultMode;
    uint64_t Frequency = 0;
};

namespace CalCsv {

inline constexpr char kHeader[] = "receiver,mode,frequency_hz,raw,dbm";
inline constexpr char kTableHeader[] = "raw,dbm";

// A file with more distinct points than this is refused: each point holds a
// whole table in memory, so a small file of one line per point must not be
// able to exhaust it.
inline constexpr int kMaxPoints = 100000;
// Files larger than this are refused before they are read.
inline constexpr qint64 kMaxFileSize = qint64(1) << 30;

// The shortest decimal text that reads back as the same double, without an
// exponent: "-73.4", "-140", "-0.30000000000000004".
QByteArray DbmText(double dbm);

// The whole CSV of these tables: header, then one line per set entry in
// table order and RAW order, LF line ends.
QByteArray Write(const std::vector<TCsvTable> &tables);
// The "raw,dbm" CSV of one table.
QByteArray WriteTable(const TDbmTable &values);

// Reads a CSV of whole tables. Tables come in the order of their first line;
// entries without a line are 0.0. fileName only names the file in messages.
bool Parse(const QByteArray &data, const QString &fileName, std::vector<TCsvTable> &tables,
           QString &error);
// Reads the table of one point: the header holds raw and dbm, optionally
// after receiver, mode and frequency_hz (in the order of kHeader); those
// columns must name the point on every line.
bool ParseTable(const QByteArray &data, const QString &fileName, const TCsvPoint &point,
                TDbmTable &values, QString &error);

// Files. Reading refuses a file that cannot be read with its reason; writing
// goes to a temporary file that replaces the target only when complete, so a
// failed write leaves the old file as it was.
bool ReadFile(const QString &path, std::vector<TCsvTable> &tables, QString &error);
bool ReadFileBytes(const QString &path, QByteArray &bytes, QString &error);
bool WriteFile(const QString &path, const QByteArray &bytes, QString &error);

// The table editor's import and export of the table being edited.
bool ImportTableCsv(const QString &path, const QByteArray &receiver, int32_t mode,
                    uint64_t frequency, TDbmTable &table, QString &error);
bool ExportTableCsv(const QString &path, const TDbmTable &table, QString &error);

} // namespace CalCsv
