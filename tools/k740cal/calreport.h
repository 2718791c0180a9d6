// What k740cal tells about calibration sets: the summary of one set (as a
// table or as JSON) and the differences between two. Everything is read
// through the calibration library.
#pragma once

#include "calibration/caltransfer.h"

#include <QByteArray>
#include <QString>

namespace CalReport {

// One point of a set with what its table holds.
struct TPointSummary {
    TCsvPoint Point;
    int SetCount = 0;    // entries other than the not-set value
    double DbmMin = 0.0; // over the set entries; both 0.0 when none is set
    double DbmMax = 0.0;
};

// Every point of a set, read table by table; false with the library's
// message when a table cannot be read.
bool Summarise(const Smsdk &sdk, int32_t cal, std::vector<TPointSummary> &points, QString &error);

// "1 receiver(s), 2 mode(s), 3 point(s)"
QString CountsText(const std::vector<TPointSummary> &points);
// The summary as a readable table, and as a JSON document of the same
// content. fileName names the set in both.
QString InfoText(const QString &fileName, const std::vector<TPointSummary> &points);
QByteArray InfoJson(const QString &fileName, const std::vector<TPointSummary> &points);

// The points that only one set holds and the entries that differ between
// the points both hold, one line each ("only in a.cal: ...", "differs: ...").
// An empty list means the sets are equal.
bool Diff(const Smsdk &sdk, int32_t calA, const QString &nameA, int32_t calB, const QString &nameB,
          QStringList &lines, QString &error);

} // namespace CalReport
