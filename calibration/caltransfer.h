// Moving translation tables between a calibration set and their CSV form.
//
// Everything goes through the calibration library's calls (the set is never
// read from its file here). Nothing here shows a message box: a failure comes
// back as a text that names the point and carries the library's message, and
// the caller shows it where it belongs (an error box, standard error).
#pragma once

#include "calibration/calcsv.h"

#include <optional>

// Which tables to take from a set; an empty member takes all.
struct TTableFilter {
    std::optional<QByteArray> Receiver;
    std::optional<int32_t> Mode;
    std::optional<uint64_t> Frequency;
};

namespace CalTransfer {

// "ZX-K740, mode -1, 7100000 Hz"
QString PointText(const TCsvPoint &point);

// The points of a set: the receivers of the model-name table in table order,
// each with its modes and points in the order the library lists them.
std::vector<TCsvPoint> ListPoints(const Smsdk &sdk, int32_t cal, const TTableFilter &filter = {});
bool HasPoint(const Smsdk &sdk, int32_t cal, const TCsvPoint &point);

// One table by 256 GetCS reads; values is written only on success.
bool ReadTable(const Smsdk &sdk, int32_t cal, const TCsvPoint &point, TDbmTable &values,
               QString &error);
// The tables of every point that the filter takes, in ListPoints order.
bool ReadTables(const Smsdk &sdk, int32_t cal, const TTableFilter &filter,
                std::vector<TCsvTable> &tables, QString &error);
// Stores each table whole with PutDBMs (creating its point when absent),
// stopping at the first failure.
bool PutTables(const Smsdk &sdk, int32_t cal, const std::vector<TCsvTable> &tables, QString &error);

// The main window's "Export all points as CSV…": the tables of the points of
// one receiver and mode written to path.
bool ExportPointsCsv(const QString &path, int32_t cal, const QByteArray &receiver, int32_t mode,
                     QString &error, const Smsdk &sdk = Smsdk::Instance());

} // namespace CalTransfer
