// The undo steps of the table editor. Every change of a translation table is
// one TTableChange on the editor's QUndoStack: it keeps the whole table before
// and after the change (2 KiB each), so any change, from one value to a table
// copied in, undoes and redoes bit for bit, and a step's first redo when it is
// pushed does nothing once the change has been shown already.
//
// Typical use by a window that edits a table (the editor pushes its own steps
// through TTableForm::ChangeTable and BeginChange/EndChange):
//
//     TDbmTable after = target.Table();
//     after[10] = -80.0;
//     stack.push(new TTableChange(target, target.Table(), after, "Edit RAW 10"));
#pragma once

#include "calibration/smsdk.h"

#include <QString>
#include <QUndoCommand>

// What a step changes: the window that shows the table.
class TTableUndoTarget {
public:
    virtual ~TTableUndoTarget() = default;
    virtual const TDbmTable &Table() const = 0;
    // Makes `table` the table shown everywhere; entries equal bit for bit to
    // those shown need not be touched.
    virtual void ApplyTable(const TDbmTable &table) = 0;
};

class TTableChange : public QUndoCommand {
public:
    TTableChange(TTableUndoTarget &target, const TDbmTable &before, const TDbmTable &after,
                 const QString &text);

    void undo() override;
    void redo() override;

    const TDbmTable &Before() const { return before_; }
    const TDbmTable &After() const { return after_; }

private:
    TTableUndoTarget &target_;
    TDbmTable before_;
    TDbmTable after_;
};

// Whether two entries are the same double, bit for bit (-0.0 is not 0.0).
bool SameEntry(double a, double b);

// The step name of a RAW range: "RAW 7" or "RAW 10-40".
QString RawRangeText(int from, int to);
