#include "app/pointlist.h"

#include "app/mainformservices.h"
#include "app/proofcommands.h"
#include "calibration/caldocument.h"
#include "calibration/frequencytext.h"
#include "calibration/smsdk.h"
#include "controls/dialogparts.h"
#include "controls/myfrequencyedit.h"
#include "controls/myscrollbar.h"
#include "controls/stgrid.h"
#include "controls/stpanel.h"
#include "controls/stspeedbutton.h"
#include "dialogs/pointlistmodel.h"
#include "dialogs/u_addfqform.h"
#include "dialogs/u_addpointsform.h"
#include "dialogs/u_copyform.h"
#include "dialogs/u_fselectform.h"
#include "dialogs/u_sweepform.h"
#include "dialogs/u_tableform.h"
#include "platform/messagebox.h"
#include "receiver/receiverconnection.h"

#include <QPainter>

#include <algorithm>
#include <vector>

using namespace dialogparts;

namespace {

Smsdk &Sdk() {
    return Smsdk::Instance();
}

} // namespace

TPointList::TPointList(const TPointListParts &parts) : parts_(parts) {
    TstGrid &F = parts_.F;
    F.SetOnDrawCell(
        [this](TstGrid *, QPainter &canvas, int col, int row, const QRect &rect,
               TstGrid::TGridDrawState state) { FDrawCell(canvas, col, row, rect, state); });
    F.SetOnSelectCell([this](TstGrid *, int col, int row, bool &) { FSelectCell(col, row); });
    connect(&F, &TstGrid::OnDblClick, this, &TPointList::FDblClick);
    connect(&F, &TstGrid::OnTopLeftChanged, this, &TPointList::FTopLeftChanged);
    connect(&parts_.FSB, &TmyScrollBar::OnPositionChange, this, &TPointList::FSBPositionChange);
}

std::int32_t TPointList::CalibrationMode() const {
    return Smsdk::CalibrationMode(parts_.Receiver.CurrentMode());
}

void TPointList::Clear() {
    parts_.Model.Clear();
    FillPointList(parts_.F, parts_.Model);
    parts_.F.SetSelection(0, 0);
    parts_.BEdit.setEnabled(false);
    parts_.BDelete.setEnabled(false);
    parts_.BSweep.setEnabled(false);
    parts_.BVerify.setEnabled(false);
    parts_.FSB.hide();
}

void TPointList::Refresh() {
    refreshing_ = true;
    struct Guard {
        bool &flag;
        ~Guard() { flag = false; }
    } guard{refreshing_};

    const TCalDocument &document = parts_.Document;
    parts_.Model.SetPoints(document.IsLoaded() ? document.Points(CalibrationMode())
                                               : std::vector<std::uint64_t>());
    FillPointList(parts_.F, parts_.Model);
    FitScrollBar();
    const bool points = parts_.Model.Count() != 0;
    parts_.BEdit.setEnabled(points);
    parts_.BDelete.setEnabled(points);
    UpdateSweep();
}

void TPointList::UpdateSweep() {
    const bool usable = parts_.Model.Count() != 0 && parts_.Receiver.IsOpen();
    parts_.BSweep.setEnabled(usable);
    parts_.BVerify.setEnabled(usable);
}

void TPointList::FitScrollBar() {
    const TstGrid &F = parts_.F;
    TmyScrollBar &bar = parts_.FSB;
    const int visible = F.VisibleRowCount();
    if (visible < F.RowCount()) {
        bar.SetMin(0);
        bar.SetMax(F.RowCount() - visible + 1);
        bar.SetLength(1);
        bar.SetPosition(0);
        bar.show();
    } else {
        bar.hide();
    }
}

void TPointList::FDrawCell(QPainter &canvas, int col, int row, const QRect &rect, int state) {
    canvas.setFont(ArialFont(11));
    const int count = parts_.Model.Count();
    // The selection shows only while there are points to select.
    const bool selected = (state & TstGrid::gdSelected) && parts_.Document.IsLoaded() && count != 0;
    canvas.fillRect(rect, ColorToQColor(selected ? kSelectedRow : parts_.F.Color()));
    if (col != 0 || row >= count) return;
    canvas.setPen(selected ? QColor(Qt::black) : ColorToQColor(kListText));
    DrawPointRow(canvas, rect, row, parts_.F.Cells(0, row), 1);
}

void TPointList::FSelectCell(int, int row) {
    if (!parts_.Receiver.IsOpen() || refreshing_) return;
    // The empty row of an empty list names no frequency to tune to.
    if (row < 0 || row >= parts_.Model.Count()) return;
    Tune(parts_.Model.At(row));
}

void TPointList::FDblClick() {
    if (parts_.Document.IsLoaded() && parts_.Model.Count() != 0) Edit();
}

void TPointList::FTopLeftChanged() {
    parts_.FSB.SetPosition(parts_.F.TopRow());
}

void TPointList::FSBPositionChange() {
    parts_.F.SetTopRow(int(parts_.FSB.Position()));
}

void TPointList::Tune(std::uint64_t hz) {
    // Fq's value change retunes the receiver.
    parts_.Fq.SetValue(std::int64_t(hz));
}

// ---------------------------------------------------------------------------
// Commands

void TPointList::Add() {
    parts_.Window.FocusRule(&parts_.FsP);
    const std::optional<std::uint64_t> added =
        parts_.AddFq.AskFrequency(std::uint64_t(parts_.Fq.Value()),
                                  [this](std::uint64_t hz) { return parts_.Model.Find(hz) >= 0; });
    if (!added) return;
    const std::uint64_t hz = *added;
    // A new point holds no calibration yet; an existing one starts over.
    const TDbmTable notSet{};
    if (!platform::ShowFailure(parts_.Window.Owner(),
                               parts_.Document.WriteTable(CalibrationMode(), hz, notSet)))
        return;
    Refresh();
    const int row = parts_.Model.Find(hz);
    if (row < 0) return;
    parts_.F.SetSelection(0, row);
    Tune(hz);
}

void TPointList::AddPoints() {
    parts_.Window.FocusRule(&parts_.FsP);
    if (!parts_.Document.IsLoaded()) return;
    const std::optional<std::vector<std::uint64_t>> added = parts_.AddPoints.Run(
        {std::uint64_t(parts_.Fq.Min()), std::uint64_t(parts_.Fq.Max())},
        [this](std::uint64_t hz) { return parts_.Model.Find(hz) >= 0; },
        std::uint64_t(parts_.Fq.Value()));
    if (!added || added->empty()) return;
    const std::int32_t mode = CalibrationMode();
    const TDbmTable notSet{};
    for (const std::uint64_t hz : *added) {
        if (!platform::ShowFailure(parts_.Window.Owner(),
                                   parts_.Document.WriteTable(mode, hz, notSet)))
            break; // the points before it are in the list
    }
    Refresh();
    const int row = parts_.Model.Find(added->front());
    if (row < 0) return;
    parts_.F.SetSelection(0, row);
    Tune(added->front());
}

void TPointList::Edit() {
    parts_.Window.FocusRule(&parts_.FsP);
    const int row = parts_.F.Row();
    if (row < 0 || row >= parts_.Model.Count()) return;
    const std::uint64_t hz = parts_.Model.At(row);
    // The table belongs to this point under this mode, whatever mode the
    // receiver reports while the editor is open.
    const std::int32_t mode = CalibrationMode();
    if (parts_.Receiver.ReadTunedFrequency() != hz) Tune(hz);

    QWidget *owner = parts_.Window.Owner();
    TDbmTable table{};
    if (!platform::ShowFailure(owner, parts_.Document.ReadTable(mode, hz, table))) return;
    // The editor's Copy offers the points listed now.
    const std::optional<TTableForm::TEditResult> edited = parts_.Table.Edit(
        {Smsdk::kReceiverName, mode, hz}, table,
        [this, owner](std::uint64_t frequency, TDbmTable &values) {
            return platform::ShowFailure(
                owner, parts_.Document.ReadTable(CalibrationMode(), frequency, values));
        });
    if (!edited) return;

    TCalDocument &document = parts_.Document;
    const bool modified = document.IsModified() || edited->Modified;
    if (platform::ShowFailure(owner, document.WriteTable(mode, hz, edited->Table)))
        document.SetModified(modified);
}

// Every point in turn: tuned, swept and stored at once, so that a Stop or a
// failure keeps the points already done.
void TPointList::Sweep() {
    parts_.Window.FocusRule(&parts_.FsP);
    if (parts_.Model.Count() == 0 || !parts_.Receiver.IsOpen()) return;
    const std::int32_t mode = CalibrationMode();
    // A failure of the set ends the sweep; the sweep window's summary says
    // why, once.
    parts_.Sweep.SweepPoints(
        parts_.Model.Points(),
        [this, mode](std::uint64_t hz, TDbmTable &table) {
            const int row = parts_.Model.Find(hz);
            if (row >= 0) parts_.F.SetSelection(0, row);
            Tune(hz);
            return parts_.Document.ReadTable(mode, hz, table);
        },
        [this, mode](std::uint64_t hz, const TDbmTable &table) {
            TCalDocument &document = parts_.Document;
            platform::TResult written = document.WriteTable(mode, hz, table);
            if (written) document.SetModified(true);
            return written;
        },
        [this] { return parts_.Document.IsModified(); }, parts_.Window.Owner());
}

// Every point in turn, tuned and shown selected; the set is only read.
void TPointList::Verify() {
    parts_.Window.FocusRule(&parts_.FsP);
    if (parts_.Model.Count() == 0 || !parts_.Receiver.IsOpen()) return;
    parts_.Proof.Verify(
        parts_.Model.Points(),
        [this](std::uint64_t hz, QString &) {
            const int row = parts_.Model.Find(hz);
            if (row >= 0) parts_.F.SetSelection(0, row);
            Tune(hz);
            return true;
        },
        parts_.Window.Owner());
}

void TPointList::Delete() {
    parts_.Window.FocusRule(&parts_.FsP);
    QWidget *owner = parts_.Window.Owner();
    if (platform::ShowMessageBox(
            {owner, QStringLiteral("Are you sure you want to remove frequency?"),
             QStringLiteral("Confirmation"), QMessageBox::Question,
             QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes}) != QMessageBox::Yes)
        return;
    const int row = parts_.F.Row();
    if (row < 0 || row >= parts_.Model.Count()) return;
    if (platform::ShowFailure(owner,
                              parts_.Document.DeletePoint(CalibrationMode(), parts_.Model.At(row))))
        Refresh();
}

void TPointList::ShowAligned(std::uint64_t from, std::uint64_t bound, bool above) {
    platform::ShowInformation(parts_.Window.Owner(),
                              QStringLiteral("Frequency ") + FrequencyText(from) +
                                  (above ? QStringLiteral(" is grater than maximum frequency (")
                                         : QStringLiteral(" is less than minimum frequency (")) +
                                  FrequencyText(bound) +
                                  QStringLiteral(").\nThis frequency will be aligned to ") +
                                  FrequencyText(bound) + u'.',
                              QStringLiteral("Information"));
}

void TPointList::CopyFromOtherMode() {
    parts_.Window.FocusRule(&parts_.FsP);
    QWidget *owner = parts_.Window.Owner();
    TCalDocument &document = parts_.Document;
    const std::optional<TCopyChoice> choice = parts_.Copy.AskSource(document.Handle());
    if (!choice) return;
    const QByteArray source = choice->Receiver.toLatin1();
    const std::int32_t sourceMode = choice->Mode;
    const std::int32_t mode = CalibrationMode();
    if (source == Smsdk::kReceiverName && sourceMode == mode) return;

    const TSetList<std::uint64_t> points =
        Sdk().ReadFrequencies(document.Handle(), source.constData(), sourceMode);
    if (points.SizeAnswer < 1) {
        // The size query's answer goes through the library's message table.
        platform::ShowFailure(owner, Smsdk::ResultOf(points.SizeAnswer));
        return;
    }

    const auto lowest = std::uint64_t(parts_.Fq.Min());
    const auto highest = std::uint64_t(parts_.Fq.Max());
    for (const std::uint64_t from : points.Entries) {
        std::uint64_t target = from;
        if (from > highest) {
            ShowAligned(from, highest, true);
            target = highest;
        } else if (from < lowest) {
            ShowAligned(from, lowest, false);
            target = lowest;
        }
        bool copy = true;
        for (const std::uint64_t listed : parts_.Model.Points()) {
            if (listed != target) continue;
            const QMessageBox::StandardButton answer = platform::ShowMessageBox(
                {owner,
                 QStringLiteral("Table entry for frequency ") + FrequencyText(target) +
                     QStringLiteral(" already exist for this mode.\nReplace it?"),
                 QStringLiteral("Frequency exist"), QMessageBox::Question,
                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes});
            if (answer == QMessageBox::Cancel) return;
            if (answer != QMessageBox::Yes) copy = false;
        }
        if (!copy) continue;
        TDbmTable table{};
        if (!platform::ShowFailure(owner, Sdk().ReadTable(document.Handle(), source.constData(),
                                                          sourceMode, from, table)))
            return;
        if (!platform::ShowFailure(owner, document.WriteTable(mode, target, table))) return;
        Refresh();
    }
}
