#include "app/proofcommands.h"

#include "calibration/caldocument.h"
#include "calibration/signalscale.h"
#include "calibration/smsdk.h"
#include "dialogs/u_verifyform.h"
#include "platform/filedialog.h"
#include "platform/messagebox.h"
#include "receiver/receiverconnection.h"
#include "report/calibrationreport.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

TProofCommands::TProofCommands(const TProofParts &parts) : parts_(parts) {}

void TProofCommands::Verify(const std::vector<std::uint64_t> &points, TTune tune, QWidget *owner) {
    if (points.empty() || !parts_.Document.IsLoaded() || !parts_.Receiver.IsOpen()) return;
    const TCalDocument &document = parts_.Document;
    const std::int32_t mode = Smsdk::CalibrationMode(parts_.Receiver.CurrentMode());
    TSweepSettings sweep;
    if (!parts_.ReadSweep(sweep)) {
        platform::ShowError(owner, QStringLiteral("The generator settings of the Sweep window are "
                                                  "not valid: correct them there first."));
        return;
    }
    TVerifyForm &form = parts_.Verify;
    form.SetGenerator(sweep);
    // Only reads: a verification never changes the set.
    form.SetPoints(points, std::move(tune),
                   [&document, mode](std::uint64_t hz, std::uint8_t raw) -> std::optional<double> {
                       const std::optional<double> dbm = document.Dbm(mode, hz, raw);
                       if (!dbm || SignalScale::IsNotSet(*dbm)) return std::nullopt;
                       return dbm;
                   });
    form.ShowModal();
    if (form.Results().ReadingCount() == 0) return;
    last_ = form.Results();
    lastHandle_ = document.Handle();
    lastFile_ = document.FileName();
    lastLink_ = form.Link();
}

const TVerification *TProofCommands::LastVerification() const {
    const TCalDocument &document = parts_.Document;
    if (!last_ || !document.IsLoaded() || document.Handle() != lastHandle_ ||
        document.FileName() != lastFile_)
        return nullptr;
    return &*last_;
}

bool TProofCommands::WriteReport(const QString &pdfPath, QString &error, int *pageCount) const {
    const TCalDocument &document = parts_.Document;
    if (!document.IsLoaded()) {
        error = QStringLiteral("No calibration set is open.");
        return false;
    }
    const TVerification *verification = LastVerification();
    const TSweepSettings sweep = parts_.LastSweep();
    TReportFacts facts;
    if (!document.IsNewFile()) facts.FileName = document.FileName();
    facts.Unsaved = document.IsModified();
    if (parts_.Receiver.IsOpen()) facts.Receiver = parts_.Receiver.ReceiverName();
    if (verification) {
        facts.GeneratorIdentity = verification->Identity;
        facts.GeneratorLink = lastLink_;
        facts.Loss = verification->Loss;
    } else {
        facts.GeneratorLink =
            QStringLiteral("%1, %2").arg(sweep.Instrument.Link, sweep.Instrument.Commands);
        facts.Loss = sweep.Loss;
    }
    const QLocale c = QLocale::c();
    // An adaptive sweep has no one step: name the range its steps took.
    const QString steps =
        sweep.Adaptive
            ? QStringLiteral("adaptive steps of %1 to %2 dB")
                  .arg(c.toString(sweep.MinStep, 'g', 6), c.toString(sweep.MaxStep, 'g', 6))
            : QStringLiteral("%1 dB steps").arg(c.toString(sweep.Step, 'g', 6));
    facts.Sweep = QStringLiteral("%1 to %2 dBm in %3, settle %4 ms, %5 readings per level")
                      .arg(c.toString(sweep.From, 'f', 1), c.toString(sweep.To, 'f', 1), steps)
                      .arg(sweep.SettleMs)
                      .arg(sweep.Readings);
    return CalibrationReport::Write(pdfPath, Smsdk::Instance(), document.Handle(), facts,
                                    verification, error, pageCount);
}

void TProofCommands::Report(QWidget *owner) {
    const TCalDocument &document = parts_.Document;
    if (!document.IsLoaded()) return;
    const QFileInfo cal(document.IsNewFile() ? QString::fromLatin1(TCalDocument::kNewFileName)
                                             : document.FileName());
    const QString path = platform::AskFileName(
        owner, platform::FileDialogRequest::Save, QStringLiteral("Save calibration report"),
        QStringLiteral("PDF files (*.pdf)"), QStringLiteral("pdf"),
        cal.dir().filePath(cal.completeBaseName() + QStringLiteral(".pdf")));
    if (path.isEmpty()) return;
    QString error;
    int pages = 0;
    if (!WriteReport(path, error, &pages)) {
        platform::ShowError(owner, error);
        return;
    }
    platform::ShowInformation(owner,
                              QStringLiteral("The report (%1 pages) has been written to %2.")
                                  .arg(pages)
                                  .arg(QDir::toNativeSeparators(path)),
                              QStringLiteral("Calibration report"));
}
