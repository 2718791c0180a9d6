// The main window's proof of a calibration: "Verify" (every point of the
// list, or the one chosen in its context menu) runs the verification window
// against the open set, and "Report…" writes the set's calibration report as
// PDF, with the results of the last verification of that set when there is
// one. The generator, its link and the loss are those the sweep window keeps.
//
//     TProofCommands proof({document, receiver, verifyForm, readSweep, lastSweep});
//     proof.Verify(points, tune, owner);
//     proof.Report(owner);
#pragma once

#include "generator/sweepengine.h"
#include "generator/verification.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QWidget;
class TCalDocument;
class TReceiverConnection;
class TVerifyForm;

struct TProofParts {
    TCalDocument &Document;
    TReceiverConnection &Receiver;
    TVerifyForm &Verify;
    // The generator settings as the sweep window's fields hold them; false
    // (the reason shown) when one is not valid.
    std::function<bool(TSweepSettings &)> ReadSweep;
    // The settings of the last sweep (or those kept from before).
    std::function<TSweepSettings()> LastSweep;
};

class TProofCommands {
public:
    // Tunes the receiver to a point as the window shows it; false, with a
    // message, ends the verification.
    using TTune = std::function<bool(std::uint64_t hz, QString &error)>;

    explicit TProofCommands(const TProofParts &parts);

    // The modal verification of `points` of the calibration mode; `owner`
    // owns a message.
    void Verify(const std::vector<std::uint64_t> &points, TTune tune, QWidget *owner);
    // Asks for the PDF file and writes the report of the open set; the error
    // or the page count shown to the operator.
    void Report(QWidget *owner);
    // Writes the report without asking; false with the reason.
    bool WriteReport(const QString &pdfPath, QString &error, int *pageCount = nullptr) const;

    // The results of the last verification that recorded anything, while the
    // set it verified is still the open one.
    const TVerification *LastVerification() const;

private:
    TProofParts parts_;
    std::optional<TVerification> last_;
    std::int32_t lastHandle_ = -1;
    QString lastFile_;
    QString lastLink_;
};
