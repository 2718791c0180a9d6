#include "dialogs/tableundo.h"

#include <bit>
#include <cstdint>

TTableChange::TTableChange(TTableUndoTarget &target, const TDbmTable &before,
                           const TDbmTable &after, const QString &text)
    : QUndoCommand(text), target_(target), before_(before), after_(after) {}

void TTableChange::undo() {
    target_.ApplyTable(before_);
}

void TTableChange::redo() {
    target_.ApplyTable(after_);
}

bool SameEntry(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

QString RawRangeText(int from, int to) {
    if (from == to) return QStringLiteral("RAW %1").arg(from);
    return QStringLiteral("RAW %1-%2").arg(from).arg(to);
}
