// What a sweep of several points did, point by point, as the operator reads
// it at the end: which points were stored, which gave nothing to store, and
// where and why the sweep ended early. The reason of a failure appears once,
// in the line of the point where it happened.
#pragma once

#include "generator/sweeptable.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class TSweepSummary {
public:
    // A new sweep of `total` points.
    void Begin(int total);

    // A point swept and stored.
    void Stored(std::uint64_t hz, const TSweepOutcome &outcome, int leftOut);
    // A point swept whose readings gave nothing to store; the sweep goes on.
    void NothingToStore(std::uint64_t hz);
    // The sweep ended at `hz` without storing it: Stop (an empty reason), a
    // failure of the generator, of the receiver or of storing the table.
    void Ended(std::uint64_t hz, const QString &reason);

    const std::vector<std::uint64_t> &StoredPoints() const { return stored_; }
    bool Failed() const { return failed_; }
    // One line per point swept (and the end, if early), as Text() shows them.
    const QStringList &Lines() const { return lines_; }

    // The whole summary: the lines, which points were stored ("Stored: 7.1
    // MHz, 14.2 MHz (2 of 3 points)." or "No point was stored.") and, with
    // `notSaved`, that the file still has to be saved.
    QString Text(bool notSaved) const;

private:
    int total_ = 0;
    bool failed_ = false;
    std::vector<std::uint64_t> stored_;
    QStringList lines_;
};
