#include "app/pointlist.h"

#include "app/u_mainform.h"
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
#include "dialogs/u_copyform.h"
#include "dialogs/u_fselectform.h"
#include "dialogs/u_sweepform.h"
#include "dialogs/u_tableform.h"
#include "platform/messagebox.h"

#include <QPainter>

#include <algorithm>
#include <vector>

using namespace dialogparts;

namespace {

Smsdk &Sdk() {
    return Smsdk::Instance();
}

} // namespace

TPointList::TPointList(TMainForm &form) : form_(form) {}

void TPointList::Attach() {
    TstGrid *F = form_.F;
    F->SetOnDrawCell(
        [this](TstGrid *, QPainter &canvas, int col, int row, const QRect &rect,
               TstGrid::TGridDrawState state) { FDrawCell(canvas, col, row, rect, state); });
    F->SetOnSelectCell([this](TstGrid *, int col, int row, bool &) { FSelectCell(col, row); });
    connect(F, &TstGrid::OnDblClick, this, &TPointList::FDblClick);
    connect(F, &TstGrid::OnTopLeftChanged, this, &TPointList::FTopLeftChanged);
    connect(form_.FSB, &TmyScrollBar::OnPositionChange, this, &TPointList::FSBPositionChange);
}

std::uint64_t TPointList::RowFrequency(int row) const {
    return Model().At(row);
}

int TPointList::FindRow(std::uint64_t hz) const {
    return Model().Find(hz);
}

TPointListModel &TPointList::Model() const {
    return form_.Windows().Points;
}

void TPointList::Clear() {
    Model().Clear();
    FillPointList(*form_.F, Model());
    form_.F->SetSelection(0, 0);
    count_ = 0;
    form_.BEdit->setEnabled(false);
    form_.BDelete->setEnabled(false);
    form_.BSweep->setEnabled(false);
    form_.FSB->hide();
}

void TPointList::Refresh() {
    refreshing_ = true;
    struct Guard {
        bool &flag;
        ~Guard() { flag = false; }
    } guard{refreshing_};

    const TCalDocument &document = form_.Document();
    Model().SetPoints(document.IsLoaded() ? document.Points(form_.CalibrationMode())
                                          : std::vector<std::uint64_t>());
    count_ = Model().Count();
    FillPointList(*form_.F, Model());
    FitScrollBars();
    form_.BEdit->setEnabled(count_ != 0);
    form_.BDelete->setEnabled(count_ != 0);
    UpdateSweep();
}

void TPointList::UpdateSweep() {
    form_.BSweep->setEnabled(count_ != 0 && form_.ReceiverHandle() > 0);
}

void TPointList::FitScrollBars() {
    TstGrid *F = form_.F;
    TmyScrollBar *bar = form_.FSB;
    const int visible = F->VisibleRowCount();
    if (visible < F->RowCount()) {
        bar->SetMin(0);
        bar->SetMax(F->RowCount() - visible + 1);
        bar->SetLength(1);
        bar->SetPosition(0);
        bar->show();
    } else {
        bar->hide();
    }
}

void TPointList::FDrawCell(QPainter &canvas, int col, int row, const QRect &rect, int state) {
    canvas.setFont(ArialFont(11));
    // The selection shows only while there are points to select.
    const bool selected =
        (state & TstGrid::gdSelected) && form_.Document().IsLoaded() && count_ != 0;
    canvas.fillRect(rect, ColorToQColor(selected ? kSelectedRow : form_.F->Color()));
    if (col != 0 || row >= count_) return;
    canvas.setPen(selected ? QColor(Qt::black) : ColorToQColor(kListText));
    DrawPointRow(canvas, rect, row, form_.F->Cells(0, row), 1);
}

void TPointList::FSelectCell(int, int row) {
    if (!form_.Receiver().IsOpen() || refreshing_) return;
    // The empty row of an empty list names no frequency to tune to.
    if (row < 0 || row >= Model().Count()) return;
    Tune(RowFrequency(row));
}

void TPointList::FDblClick() {
    if (form_.Document().IsLoaded() && count_ != 0) Edit();
}

void TPointList::FTopLeftChanged() {
    form_.FSB->SetPosition(form_.F->TopRow());
}

void TPointList::FSBPositionChange() {
    form_.F->SetTopRow(int(form_.FSB->Position()));
}

void TPointList::Tune(std::uint64_t hz) {
    // Fq's value change retunes the receiver.
    form_.Fq->SetValue(std::int64_t(hz));
}

// ---------------------------------------------------------------------------
// Commands

void TPointList::Add() {
    form_.FocusRule(form_.FsP);
    const std::optional<std::uint64_t> added = form_.Windows().AddFq.AskFrequency(
        std::uint64_t(form_.Fq->Value()), [this](std::uint64_t hz) { return FindRow(hz) >= 0; });
    if (!added) return;
    const std::uint64_t hz = *added;
    // A new point holds no calibration yet; an existing one starts over.
    const TDbmTable notSet{};
    if (!platform::ShowFailure(&form_,
                               form_.Document().WriteTable(form_.CalibrationMode(), hz, notSet)))
        return;
    Refresh();
    const int row = FindRow(hz);
    if (row < 0) return;
    form_.F->SetSelection(0, row);
    Tune(hz);
}

void TPointList::Edit() {
    form_.FocusRule(form_.FsP);
    const int row = form_.F->Row();
    if (row < 0 || row >= count_) return;
    const std::uint64_t hz = RowFrequency(row);
    // The table belongs to this point under this mode, whatever mode the
    // receiver reports while the editor is open.
    const std::int32_t mode = form_.CalibrationMode();
    if (form_.Receiver().ReadTunedFrequency() != hz) Tune(hz);

    TDbmTable table{};
    if (!platform::ShowFailure(&form_, form_.Document().ReadTable(mode, hz, table))) return;
    // The editor's Copy offers the points listed now.
    const std::optional<TTableForm::TEditResult> edited = form_.Windows().Table.Edit(
        {Smsdk::kReceiverName, mode, hz}, table,
        [this](std::uint64_t frequency, TDbmTable &values) {
            return platform::ShowFailure(
                &form_, form_.Document().ReadTable(form_.CalibrationMode(), frequency, values));
        });
    if (!edited) return;

    TCalDocument &document = form_.Document();
    const bool modified = document.IsModified() || edited->Modified;
    if (platform::ShowFailure(&form_, document.WriteTable(mode, hz, edited->Table)))
        document.SetModified(modified);
}

// Every point in turn: tuned, swept and stored at once, so that a Stop or a
// failure keeps the points already done.
void TPointList::Sweep() {
    form_.FocusRule(form_.FsP);
    if (count_ == 0 || form_.ReceiverHandle() <= 0) return;
    const std::int32_t mode = form_.CalibrationMode();
    form_.Windows().Sweep.SweepPoints(
        Model().Points(),
        [this, mode](std::uint64_t hz, TDbmTable &table) {
            const int row = FindRow(hz);
            if (row >= 0) form_.F->SetSelection(0, row);
            Tune(hz);
            return platform::ShowFailure(&form_, form_.Document().ReadTable(mode, hz, table));
        },
        [this, mode](std::uint64_t hz, const TDbmTable &table) {
            TCalDocument &document = form_.Document();
            if (!platform::ShowFailure(&form_, document.WriteTable(mode, hz, table))) return false;
            document.SetModified(true);
            return true;
        });
}

void TPointList::Delete() {
    form_.FocusRule(form_.FsP);
    if (platform::ShowMessageBox(
            {&form_, QStringLiteral("Are you sure you want to remove frequency?"),
             QStringLiteral("Confirmation"), QMessageBox::Question,
             QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes}) != QMessageBox::Yes)
        return;
    const int row = form_.F->Row();
    if (row < 0 || row >= count_) return;
    if (platform::ShowFailure(
            &form_, form_.Document().DeletePoint(form_.CalibrationMode(), RowFrequency(row))))
        Refresh();
}

void TPointList::CopyFromOtherMode() {
    form_.FocusRule(form_.FsP);
    TCalDocument &document = form_.Document();
    const std::optional<TCopyChoice> choice = form_.Windows().Copy.AskSource(document.Handle());
    if (!choice) return;
    const QByteArray source = choice->Receiver.toLatin1();
    const std::int32_t sourceMode = choice->Mode;
    const std::int32_t mode = form_.CalibrationMode();
    if (source == Smsdk::kReceiverName && sourceMode == mode) return;

    const TSetList<std::uint64_t> points =
        Sdk().ReadFrequencies(document.Handle(), source.constData(), sourceMode);
    if (points.SizeAnswer < 1) {
        // The size query's answer goes through the library's message table.
        platform::ShowFailure(&form_, Smsdk::ResultOf(points.SizeAnswer));
        return;
    }

    const auto lowest = std::uint64_t(form_.Fq->Min());
    const auto highest = std::uint64_t(form_.Fq->Max());
    for (const std::uint64_t from : points.Entries) {
        std::uint64_t target = from;
        if (from > highest) {
            platform::ShowInformation(&form_,
                                      QStringLiteral("Frequency ") + FrequencyText(from) +
                                          QStringLiteral(" is grater than maximum frequency (") +
                                          FrequencyText(highest) +
                                          QStringLiteral(").\nThis frequency will be aligned to ") +
                                          FrequencyText(highest) + u'.',
                                      QStringLiteral("Information"));
            target = highest;
        } else if (from < lowest) {
            platform::ShowInformation(&form_,
                                      QStringLiteral("Frequency ") + FrequencyText(from) +
                                          QStringLiteral(" is less than minimum frequency (") +
                                          FrequencyText(lowest) +
                                          QStringLiteral(").\nThis frequency will be aligned to ") +
                                          FrequencyText(lowest) + u'.',
                                      QStringLiteral("Information"));
            target = lowest;
        }
        bool copy = true;
        for (int row = 0; row < count_; ++row) {
            if (RowFrequency(row) != target) continue;
            const QMessageBox::StandardButton answer = platform::ShowMessageBox(
                {&form_,
                 QStringLiteral("Table entry for frequency ") + FrequencyText(target) +
                     QStringLiteral(" already exist for this mode.\nReplace it?"),
                 QStringLiteral("Frequency exist"), QMessageBox::Question,
                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes});
            if (answer == QMessageBox::Cancel) return;
            if (answer != QMessageBox::Yes) copy = false;
        }
        if (!copy) continue;
        TDbmTable table{};
        if (!platform::ShowFailure(&form_, Sdk().ReadTable(document.Handle(), source.constData(),
                                                           sourceMode, from, table)))
            return;
        if (!platform::ShowFailure(&form_, document.WriteTable(mode, target, table))) return;
        Refresh();
    }
}
