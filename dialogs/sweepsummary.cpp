#include "dialogs/sweepsummary.h"

#include "calibration/frequencytext.h"

void TSweepSummary::Begin(int total) {
    total_ = total;
    failed_ = false;
    stored_.clear();
    lines_.clear();
}

void TSweepSummary::Stored(std::uint64_t hz, const TSweepOutcome &outcome, int leftOut) {
    stored_.push_back(hz);
    QString line = FrequencyText(hz) + QStringLiteral(": stored, ") + OutcomeText(outcome);
    if (leftOut > 0)
        line += leftOut == 1 ? QStringLiteral("; 1 reading left out")
                             : QStringLiteral("; %1 readings left out").arg(leftOut);
    lines_ << line;
}

void TSweepSummary::NothingToStore(std::uint64_t hz) {
    lines_ << FrequencyText(hz) +
                  QStringLiteral(": not stored, the RAW reading did not rise with the level");
}

void TSweepSummary::Ended(std::uint64_t hz, const QString &reason) {
    failed_ = !reason.isEmpty();
    lines_ << (reason.isEmpty()
                   ? QStringLiteral("Stopped at %1; it is not stored.").arg(FrequencyText(hz))
                   : QStringLiteral("Ended at %1, which is not stored:\n%2")
                         .arg(FrequencyText(hz), reason));
}

QString TSweepSummary::Text(bool notSaved) const {
    QString text = lines_.join(QLatin1Char('\n'));
    if (!text.isEmpty()) text += QStringLiteral("\n\n");
    if (stored_.empty()) {
        text += QStringLiteral("No point was stored.");
    } else {
        QStringList names;
        for (const std::uint64_t hz : stored_)
            names << FrequencyText(hz);
        text += QStringLiteral("Stored: %1 (%2 of %3 points).")
                    .arg(names.join(QStringLiteral(", ")))
                    .arg(stored_.size())
                    .arg(total_);
    }
    if (notSaved) text += QStringLiteral("\nThe calibration file is not saved yet.");
    return text;
}
