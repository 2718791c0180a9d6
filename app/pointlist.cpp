#include "app/pointlist.h"

#include "app/u_mainform.h"
#include "calibration/frequencytext.h"
#include "calibration/smsdk.h"
#include "controls/myfrequencyedit.h"
#include "controls/myscrollbar.h"
#include "controls/stgrid.h"
#include "controls/stpanel.h"
#include "controls/stspeedbutton.h"
#include "dialogs/dialogcontrols.h"
#include "dialogs/u_addfqform.h"
#include "dialogs/u_copyform.h"
#include "dialogs/u_fselectform.h"
#include "dialogs/u_sweepform.h"
#include "dialogs/u_tableform.h"
#include "platform/messagebox.h"

#include <QPainter>

#include <algorithm>
#include <vector>

using dialogcontrols::TextOut;
using dialogcontrols::TextWidth;

namespace {

constexpr TColor kSelectedRow = 9474192; // RGB 144, 144, 144
constexpr TColor kListText = 12632256;   // RGB 192, 192, 192

Smsdk &Sdk() {
    return Smsdk::Instance();
}

// Writes one point row (frequency text, Hz, empty) into a list's grid.
void WriteRow(TstGrid *grid, int row, const QString &text, const QString &hz) {
    grid->SetCells(0, row, text);
    grid->SetCells(1, row, hz);
    grid->SetCells(2, row, QString());
}

void EmptyGrid(TstGrid *grid) {
    grid->SetRowCount(1);
    grid->ClearRow(0);
}

} // namespace

TPointList::TPointList(TMainForm &form) : form_(form) {}

void TPointList::Attach() {
    TstGrid *F = form_.F;
    F->OnDrawCell = [this](TstGrid *, QPainter &canvas, int col, int row, const QRect &rect,
                           TstGrid::TGridDrawState state) {
        FDrawCell(canvas, col, row, rect, state);
    };
    F->OnSelectCell = [this](TstGrid *, int col, int row, bool &) { FSelectCell(col, row); };
    connect(F, &TstGrid::OnDblClick, this, &TPointList::FDblClick);
    connect(F, &TstGrid::OnTopLeftChanged, this, &TPointList::FTopLeftChanged);
    connect(form_.FSB, &TmyScrollBar::OnPositionChange, this, &TPointList::FSBPositionChange);
}

std::uint64_t TPointList::RowFrequency(int row) const {
    return form_.F->Cells(1, row).toULongLong();
}

int TPointList::FindRow(std::uint64_t hz) const {
    for (int row = 0; row < count_; ++row)
        if (RowFrequency(row) == hz) return row;
    return -1;
}

void TPointList::Clear() {
    EmptyGrid(form_.F);
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

    TstGrid *F = form_.F;
    TstGrid *copyList = FSelectForm ? FSelectForm->F : nullptr;
    EmptyGrid(F);
    if (copyList) EmptyGrid(copyList);
    count_ = 0;

    const TCalDocument &document = form_.Document();
    if (document.IsLoaded()) {
        const std::vector<std::uint64_t> points = document.Points(form_.CalibrationMode());
        count_ = int(points.size());
        // The grids grow once to their size, not row by row, and repaint
        // once when they are full.
        F->setUpdatesEnabled(false);
        F->SetRowCount(std::max(1, count_));
        if (copyList) {
            copyList->setUpdatesEnabled(false);
            copyList->SetRowCount(std::max(1, count_));
        }
        for (int row = 0; row < count_; ++row) {
            const std::uint64_t hz = points[std::size_t(row)];
            const QString text = FrequencyText(hz);
            const QString decimal = QString::number(hz);
            WriteRow(F, row, text, decimal);
            if (copyList) WriteRow(copyList, row, text, decimal);
        }
        F->setUpdatesEnabled(true);
        if (copyList) copyList->setUpdatesEnabled(true);
    }
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
    TmyScrollBar *copyBar = FSelectForm ? FSelectForm->FSB : nullptr;
    const int visible = F->VisibleRowCount();
    if (visible < F->RowCount()) {
        for (TmyScrollBar *bar : {form_.FSB, copyBar}) {
            if (!bar) continue;
            bar->SetMin(0);
            bar->SetMax(F->RowCount() - visible + 1);
            bar->SetLength(1);
            bar->SetPosition(0);
            bar->show();
        }
    } else {
        form_.FSB->hide();
        if (copyBar) copyBar->hide();
    }
}

void TPointList::FDrawCell(QPainter &canvas, int col, int row, const QRect &rect, int state) {
    canvas.setFont(dialogcontrols::ArialFont(11));
    // The selection shows only while there are points to select.
    const bool selected =
        (state & TstGrid::gdSelected) && form_.Document().IsLoaded() && count_ != 0;
    canvas.fillRect(rect, ColorToQColor(selected ? kSelectedRow : form_.F->Color()));
    if (col != 0 || row >= count_) return;
    canvas.setPen(selected ? QColor(Qt::black) : ColorToQColor(kListText));
    const QString frequency = form_.F->Cells(0, row);
    const int right = rect.left() + rect.width();
    TextOut(canvas, right - 2 - TextWidth(canvas, frequency), rect.top(), frequency);
    const QString label = QString::number(row + 1) + u'.';
    const int labelEnd = rect.left() + TextWidth(canvas, QStringLiteral("0000.")) + 1;
    TextOut(canvas, labelEnd - TextWidth(canvas, label), rect.top(), label);
}

void TPointList::FSelectCell(int, int row) {
    if (!form_.Receiver().IsOpen() || refreshing_) return;
    // The empty row of an empty list names no frequency to tune to.
    const QString cell = form_.F->Cells(1, row);
    if (cell.isEmpty()) return;
    Tune(cell.toULongLong());
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
    AddFqForm->SetPointExists([this](std::uint64_t hz) { return FindRow(hz) >= 0; });
    AddFqForm->SetTunedFrequency(std::uint64_t(form_.Fq->Value()));
    if (AddFqForm->ShowModal() != mrOk) return;
    const auto hz = std::uint64_t(AddFqForm->Fq->Value());
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
    const QString text = FrequencyText(hz);
    TableForm->LCaption->SetCaption(QStringLiteral("Translation table for frequency ") + text +
                                    QStringLiteral(" (") + QStringLiteral("tuned)"));
    TableForm->LoadTable(table, text);
    TableForm->SetTableModified(false);
    TableForm->SetPoint({Smsdk::kReceiverName, mode, hz});
    // The editor's Copy offers the points listed now.
    TableForm->SetCopySource([this](std::uint64_t frequency, TDbmTable &values) {
        return platform::ShowFailure(
            &form_, form_.Document().ReadTable(form_.CalibrationMode(), frequency, values));
    });
    if (TableForm->ShowModal() != mrOk) return;

    TCalDocument &document = form_.Document();
    const bool modified = document.IsModified() || TableForm->TableModified();
    if (platform::ShowFailure(&form_, document.WriteTable(mode, hz, TableForm->Table())))
        document.SetModified(modified);
}

// Every point in turn: tuned, swept and stored at once, so that a Stop or a
// failure keeps the points already done.
void TPointList::Sweep() {
    form_.FocusRule(form_.FsP);
    if (!SweepForm || count_ == 0 || form_.ReceiverHandle() <= 0) return;
    std::vector<std::uint64_t> points;
    for (int row = 0; row < count_; ++row)
        points.push_back(RowFrequency(row));
    const std::int32_t mode = form_.CalibrationMode();
    SweepForm->SetPoints(
        points,
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
    SweepForm->ShowModal();
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
    CopyForm->SetCalHandle(document.Handle());
    if (CopyForm->ShowModal() != mrOk) return;
    const QByteArray source = CopyForm->ChosenReceiver().toLatin1();
    const std::int32_t sourceMode = CopyForm->ChosenMode();
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
