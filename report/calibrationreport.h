// The calibration report: a PDF document (A4, vector text and lines) that a
// laboratory files with the receiver. The first page names the file (size
// and SHA-256 checksum), the receivers, modes and number of points of the
// set, the date and, where known, the receiver, generator, link, loss and
// sweep settings it was made with; after a verification it gives the
// verdict with the tolerance, the error plot and the results table (going
// on over further pages when they do not fit). Then each point has a page
// of its own: its curve, drawn by the graph's own drawing code, and its 256
// values (not-set entries marked). Every page carries the program's version
// and "Page n of N".
//
// The set is only read, through the calibration library.
#pragma once

#include "calibration/smsdk.h"
#include "generator/verification.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>

// What the first page says beyond the set itself; empty texts are left out.
struct TReportFacts {
    // The set's file: the first page names it and gives the size and
    // checksum of the file on disk.
    QString FileName;
    // The set holds changes that the file on disk does not have yet.
    bool Unsaved = false;
    // The receiver the set was measured with ("demo receiver", a serial).
    QString Receiver;
    QString GeneratorIdentity;
    QString GeneratorLink;
    std::optional<double> Loss;
    // The sweep settings in one line.
    QString Sweep;
    // Now, when not valid.
    QDateTime Date;
};

namespace CalibrationReport {

// Writes the report of the set `cal` to `pdfPath`, with the results of
// `verification` when it is given. The file is written whole or not at all
// (an existing one stays as it was on failure). False with the reason.
bool Write(const QString &pdfPath, const Smsdk &sdk, std::int32_t cal, const TReportFacts &facts,
           const TVerification *verification, QString &error, int *pageCount = nullptr);

// "a1b2..." the SHA-256 of a file, and its size; false when it cannot be read.
bool FileChecksum(const QString &path, QString &sha256, qint64 &size);

} // namespace CalibrationReport
