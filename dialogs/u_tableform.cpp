#include "dialogs/u_tableform.h"

#include "calibration/frequencytext.h"
#include "calibration/signalscale.h"
#include "controls/besideplacement.h"
#include "controls/dialogparts.h"
#include "controls/stgrid.h"
#include "dialogs/tablecsvmenu.h"
#include "dialogs/u_editvalform.h"
#include "dialogs/u_fillform.h"
#include "dialogs/u_fselectform.h"
#include "dialogs/u_sweepform.h"
#include "dialogs/u_verifyform.h"
#include "graph/u_graphform.h"
#include "platform/messagebox.h"

#include <QAction>
#include <QCursor>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QPainter>
#include <QRawFont>
#include <QScreen>
#include <QUndoStack>
#include <QWindow>

#include <algorithm>

using namespace dialogparts;

namespace {

constexpr int kWidth = 681;
constexpr int kHeight = 448;

constexpr int kColumns = 22;
constexpr int kRows = TTableForm::kPairRows + 1;

// The cells' colours: the dBm cells grey (lighter where selected) with lime
// values, the RAW labels green (red with a dark red fill at the live RAW
// value), the header yellow.
constexpr TColor kSelectedFill = kSelectedRow;
constexpr TColor kValueFill = kButtonFace;
constexpr TColor kLiveFill = RGBColor(128, 0, 0);
constexpr TColor kHeaderText = clYellow;
constexpr TColor kLiveText = clRed;
constexpr TColor kLabelText = RGBColor(0, 128, 0);
constexpr TColor kValueText = clLime;

// Draws `text` in `font` from the cell's top (plus `dy`), ending 2 pixels left
// of its right edge. The cells hold numbers only, which need no shaping: their
// glyphs are looked up and placed by their advances, so a paint of the whole
// grid (500 texts) stays cheap.
void DrawRightText(QPainter &canvas, const QRawFont &font, const QRect &rect, const QString &text,
                   int dy) {
    const QList<quint32> glyphs = font.glyphIndexesForString(text);
    const QList<QPointF> advances = font.advancesForGlyphIndexes(glyphs);
    QList<QPointF> positions;
    positions.reserve(glyphs.size());
    qreal x = 0;
    for (const QPointF &advance : advances) {
        positions.append(QPointF(x, 0));
        x += advance.x();
    }
    QGlyphRun run;
    run.setRawFont(font);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    const qreal right = rect.left() + rect.width() - 2;
    canvas.drawGlyphRun(QPointF(right - qRound(x), rect.top() + dy + font.ascent()), run);
}

QString ActionText(const QString &verb, const QString &step) {
    return step.isEmpty() ? verb : verb + u' ' + step;
}

// The RAW range a change touched, for the step's name; empty for none.
QString ChangedRange(const TDbmTable &before, const TDbmTable &after) {
    int first = -1, last = -1;
    for (int r = 0; r < SignalScale::kRawCount; ++r)
        if (!SameEntry(before[r], after[r])) {
            if (first < 0) first = r;
            last = r;
        }
    return first < 0 ? QString() : RawRangeText(first, last);
}

} // namespace

TTableForm::TTableForm(const TTableFormWindows &windows, QWidget *parent)
    : TstForm(QStringLiteral("TableForm"), TFrameKind::fkDialog, parent), windows_(windows) {
    SetSize(kWidth, kHeight);

    TstPanel *P = Named(MakeListPanel(ClientPanel, QRect(6, 28, 665, 390)), "P");

    T = Named(new TstGrid(P), "T");
    T->setGeometry(5, 5, 648, 379);
    T->SetColor(kWindowColor);
    T->SetColCount(kColumns);
    T->SetRowCount(kRows);
    T->SetFixedRows(1);
    T->SetDefaultColWidth(29);
    T->SetRowHeight(14);
    T->SetFixedGridLines(true);
    T->setFont(ArialFont(11));
    cellFont_ = QRawFont::fromFont(T->font());
    headerFont_ = QRawFont::fromFont(ArialFont(9));
    for (int c = 0; c < kColumns; ++c)
        T->SetColWidth(c, c % 2 ? 33 : 24);
    T->SetOnDrawCell([this](TstGrid *sender, QPainter &canvas, int col, int row, const QRect &rect,
                            TstGrid::TGridDrawState state) {
        TDrawCell(sender, canvas, col, row, rect, state);
    });
    T->SetOnSelectCell([this](TstGrid *sender, int col, int row, bool &canSelect) {
        TSelectCell(sender, col, row, canSelect);
    });
    connect(T, &TstGrid::OnDblClick, this, &TTableForm::TDblClick);
    T->SetOnKeyPress([this](TstGrid *sender, QChar &key) { TKeyPress(sender, key); });
    for (int r = 0; r < SignalScale::kRawCount; ++r)
        ShowValue(r);

    // The buttons along the bottom; nothing touches them once they are made.
    const struct {
        const char *name;
        const char *caption;
        int left;
        void (TTableForm::*click)();
    } buttons[] = {
        {"stSpeedButton6", "Interpolate", 6, &TTableForm::stSpeedButton6Click},
        {"stSpeedButton7", "Copy", 82, &TTableForm::stSpeedButton7Click},
        {"stSpeedButton1", "Offset", 158, &TTableForm::stSpeedButton1Click},
        {"stSpeedButton2", "Fill", 234, &TTableForm::stSpeedButton2Click},
        {"stSpeedButton4", "Graph", 310, &TTableForm::stSpeedButton4Click},
        {"BSweep", "Sweep", 386, &TTableForm::BSweepClick},
        {"stSpeedButton5", "OK", 524, &TTableForm::stSpeedButton5Click},
        {"stSpeedButton3", "Cancel", 600, &TTableForm::stSpeedButton3Click},
    };
    for (const auto &b : buttons) {
        TstSpeedButton *button =
            MakeButton(ClientPanel, QRect(b.left, 422, 73, 21), QLatin1String(b.caption));
        button->setObjectName(QLatin1String(b.name));
        connect(button, &TstSpeedButton::OnClick, this, b.click);
    }
    // Between Sweep and OK, narrower than the others to fit there.
    TstSpeedButton *BVerify =
        MakeButton(ClientPanel, QRect(462, 422, 59, 21), QStringLiteral("Verify"),
                   QStringLiteral("Checks the point as stored against known generator levels"));
    BVerify->setObjectName(QStringLiteral("BVerify"));
    connect(BVerify, &TstSpeedButton::OnClick, this, &TTableForm::BVerifyClick);

    undo_ = new QUndoStack(this);
    connect(undo_, &QUndoStack::indexChanged, this, [this] {
        if (!resetting_) tableModified_ = !undo_->isClean();
    });
    UndoAction = Named(new QAction(QStringLiteral("Undo"), this), "UndoAction");
    UndoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    UndoAction->setEnabled(false);
    RedoAction = Named(new QAction(QStringLiteral("Redo"), this), "RedoAction");
    RedoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    RedoAction->setEnabled(false);
    connect(UndoAction, &QAction::triggered, this, &TTableForm::Undo);
    connect(RedoAction, &QAction::triggered, this, &TTableForm::Redo);
    connect(undo_, &QUndoStack::canUndoChanged, UndoAction, &QAction::setEnabled);
    connect(undo_, &QUndoStack::canRedoChanged, RedoAction, &QAction::setEnabled);
    connect(undo_, &QUndoStack::undoTextChanged, UndoAction, [this](const QString &step) {
        UndoAction->setText(ActionText(QStringLiteral("Undo"), step));
    });
    connect(undo_, &QUndoStack::redoTextChanged, RedoAction, [this](const QString &step) {
        RedoAction->setText(ActionText(QStringLiteral("Redo"), step));
    });
    T->setContextMenuPolicy(Qt::ActionsContextMenu);
    T->addAction(UndoAction);
    T->addAction(RedoAction);
    auto *csv = new TTableCsvMenu(
        T, this, [this] { return point_; }, [this] { return table_; });
    connect(csv, &TTableCsvMenu::TableImported, this,
            [this](const TDbmTable &values) { ChangeTable(values, QStringLiteral("Import CSV")); });

    // The graph has stored and drawn a value set with the mouse already.
    connect(&windows_.Graph, &TGraphForm::DBMChanged, this,
            [this](int raw, double value) { PutValue(raw, value, QStringLiteral("Graph"), true); });
    connect(&windows_.Graph, &TGraphForm::DragStarted, this,
            [this] { BeginChange(QStringLiteral("Graph")); });
    connect(&windows_.Graph, &TGraphForm::DragFinished, this, &TTableForm::GraphDragFinished);
    // The graph's own keys undo and redo the editor's steps too.
    windows_.Graph.addAction(UndoAction);
    windows_.Graph.addAction(RedoAction);

    CentreOnScreen(this);
}

TTableForm::~TTableForm() {
    // The stack signals its clearing while it is deleted: not to a half-gone window.
    undo_->disconnect();
    delete undo_;
    windows_.Graph.removeAction(UndoAction);
    windows_.Graph.removeAction(RedoAction);
}

int TTableForm::CellToRaw(int column, int row) {
    return kPairRows * (column / 2) + row - 1;
}

void TTableForm::RawToCell(int raw, int &column, int &row) {
    column = 2 * (raw / kPairRows) + 1;
    row = raw % kPairRows + 1;
}

void TTableForm::ShowValue(int raw) {
    int column, row;
    RawToCell(raw, column, row);
    T->SetCells(column, row, SignalScale::DbmText(table_[raw]));
}

// Paints one cell now, not at the next event loop pass.
void TTableForm::RepaintCell(int column, int row) {
    const QRect cell = T->CellRect(column, row);
    if (!cell.isEmpty()) T->repaint(cell.adjusted(0, 0, T->GridLineWidth(), T->GridLineWidth()));
}

void TTableForm::LoadTable(const TDbmTable &values, const QString &caption) {
    ResetUndo();
    table_ = values; // values may be table_ itself
    for (int r = 0; r < SignalScale::kRawCount; ++r)
        ShowValue(r);
    caption_ = caption;
    windows_.Graph.SetTable(table_, caption_);
}

std::optional<TTableForm::TEditResult> TTableForm::Edit(const TCsvPoint &point,
                                                        const TDbmTable &table, TCopySource copy) {
    const QString text = FrequencyText(point.Frequency);
    LCaption->SetCaption(QStringLiteral("Translation table for frequency ") + text +
                         QStringLiteral(" (tuned)"));
    LoadTable(table, text);
    tableModified_ = false;
    point_ = point;
    copySource_ = std::move(copy);
    if (ShowModal() != mrOk) return std::nullopt;
    return TEditResult{table_, tableModified_};
}

void TTableForm::ApplyTable(const TDbmTable &table) {
    int changed = 0, last = -1;
    for (int r = 0; r < SignalScale::kRawCount; ++r) {
        if (SameEntry(table_[r], table[r])) continue;
        table_[r] = table[r];
        ShowValue(r);
        ++changed;
        last = r;
    }
    if (changed == 0) return;
    // One value is one point of the curve; more are one redraw of all.
    if (changed == 1)
        windows_.Graph.SetValue(last, table_[last]);
    else
        windows_.Graph.SetTable(table_, caption_);
}

void TTableForm::ResetUndo() {
    changing_ = false;
    resetting_ = true;
    undo_->clear();
    resetting_ = false;
}

int TTableForm::ShowModal() {
    ResetUndo();
    return TstForm::ShowModal();
}

void TTableForm::ChangeTable(const TDbmTable &values, const QString &stepName) {
    EndChange();
    undo_->push(new TTableChange(*this, table_, values, stepName));
}

void TTableForm::BeginChange(const QString &stepName) {
    if (changing_) return;
    changing_ = true;
    changeBefore_ = table_;
    changeName_ = stepName;
}

void TTableForm::WriteValue(int raw, double value) {
    PutValue(raw, value, QStringLiteral("Edit"), false);
}

void TTableForm::PutValue(int raw, double value, const QString &stepVerb, bool fromGraph) {
    if (raw < 0 || raw >= SignalScale::kRawCount) return;
    const bool own = !changing_;
    if (own) BeginChange(stepVerb + u' ' + RawRangeText(raw, raw));
    table_[raw] = value;
    ShowValue(raw);
    tableModified_ = true;
    if (fromGraph) {
        // The grid follows a drag at once.
        int column, row;
        RawToCell(raw, column, row);
        RepaintCell(column, row);
    } else {
        windows_.Graph.SetValue(raw, value);
    }
    if (own) EndChange();
}

void TTableForm::EndChange(const QString &stepName) {
    if (!changing_) return;
    changing_ = false;
    undo_->push(new TTableChange(*this, changeBefore_, table_,
                                 stepName.isEmpty() ? changeName_ : stepName));
}

void TTableForm::Undo() {
    EndChange();
    undo_->undo();
}

void TTableForm::Redo() {
    EndChange();
    undo_->redo();
}

void TTableForm::GraphDragFinished() {
    if (!changing_) return;
    const QString range = ChangedRange(changeBefore_, table_);
    EndChange(range.isEmpty() ? QString() : QStringLiteral("Graph ") + range);
}

void TTableForm::SetLiveRaw(std::uint8_t raw) {
    if (raw == liveRaw_) return;
    const int old = liveRaw_;
    liveRaw_ = raw;
    int column, row;
    RawToCell(old, column, row);
    RepaintCell(column - 1, row);
    RawToCell(raw, column, row);
    RepaintCell(column - 1, row);
}

void TTableForm::TDrawCell(TstGrid *, QPainter &canvas, int column, int row, const QRect &rect,
                           int state) {
    const int r = CellToRaw(column, row);
    const bool fixed = state & TstGrid::gdFixed;
    const bool value = column % 2 == 1 && r < SignalScale::kRawCount;
    const QColor panel = ColorToQColor(ClientPanel->Color());

    // Texts in Arial of 11 pixels, the header's RAW in 9 pixels.
    QColor fill = panel;
    if (value && (state & TstGrid::gdSelected))
        fill = ColorToQColor(kSelectedFill);
    else if (value && !fixed)
        fill = ColorToQColor(kValueFill);
    else if (r == liveRaw_ && !fixed)
        fill = ColorToQColor(kLiveFill);
    canvas.fillRect(rect, fill);

    // The lines along the bottom and the right that part the cells.
    const int right = rect.left() + rect.width(), bottom = rect.top() + rect.height();
    DrawPolylineExcl(
        canvas, {QPoint(rect.left(), bottom), QPoint(right, bottom), QPoint(right, rect.top() - 1)},
        panel);

    if (fixed) {
        canvas.setPen(ColorToQColor(kHeaderText));
        if (column % 2 == 0) {
            DrawRightText(canvas, headerFont_, rect, SignalScale::RawLabel(), 2);
        } else {
            DrawRightText(canvas, cellFont_, rect, SignalScale::DbmLabel(), 0);
        }
        return;
    }
    if (r >= SignalScale::kRawCount) return;
    if (column % 2 == 0) {
        canvas.setPen(ColorToQColor(r == liveRaw_ ? kLiveText : kLabelText));
        DrawRightText(canvas, cellFont_, rect, QString::number(r), 0);
    } else {
        canvas.setPen(ColorToQColor(kValueText));
        DrawRightText(canvas, cellFont_, rect, T->Cells(column, row), 0);
    }
}

void TTableForm::TSelectCell(TstGrid *, int column, int row, bool &canSelect) {
    canSelect = column % 2 == 1 && CellToRaw(column, row) < SignalScale::kRawCount;
}

void TTableForm::TDblClick(TstGrid *sender) {
    const QPoint pos = sender->mapFromGlobal(QCursor::pos());
    int column, row;
    sender->MouseToCell(pos.x(), pos.y(), column, row);
    if (column < 0 || row < 1 || column % 2 == 0) return;
    const int r = CellToRaw(column, row);
    if (r < SignalScale::kRawCount) EditValue(r);
}

void TTableForm::TKeyPress(TstGrid *sender, QChar &key) {
    if (key != u'\r') return;
    const int column = sender->Col(), row = sender->Row();
    const int r = CellToRaw(column, row);
    if (column % 2 == 1 && row >= 1 && r < SignalScale::kRawCount) EditValue(r);
}

void TTableForm::EditValue(int raw) {
    const std::optional<double> value = windows_.Value.AskValue(raw, table_[raw]);
    if (!value) return;
    EndChange();
    WriteValue(raw, *value);
}

void TTableForm::stSpeedButton6Click() {
    TDbmTable values = table_;
    SignalScale::Interpolate(values);
    ChangeTable(values, QStringLiteral("Interpolate"));
}

void TTableForm::stSpeedButton2Click() {
    ChangeRange(true);
}

void TTableForm::stSpeedButton1Click() {
    ChangeRange(false);
}

void TTableForm::ChangeRange(bool fillRole) {
    const std::optional<TFillRange> range =
        windows_.Fill.AskRange(fillRole ? TFillRole::Fill : TFillRole::Offset);
    if (!range) return;
    TDbmTable values = table_;
    for (int r = std::max(range->From, 0); r <= std::min(range->To, SignalScale::kRawMax); ++r)
        values[r] =
            fillRole ? range->Value : SignalScale::LimitAfterOffset(values[r] + range->Value);
    ChangeTable(values, (fillRole ? QStringLiteral("Fill ") : QStringLiteral("Offset ")) +
                            RawRangeText(range->From, range->To));
}

void TTableForm::stSpeedButton7Click() {
    const std::optional<std::uint64_t> frequency = windows_.Select.AskFrequency();
    if (!frequency) return;
    TDbmTable values{};
    // A failed read has shown its message; the table stays as it was.
    if (!copySource_ || !copySource_(*frequency, values)) return;
    ChangeTable(values, QStringLiteral("Copy ") + FrequencyText(*frequency));
}

// The generator steps through the levels while the live RAW value is read;
// the result is one step, and reaches the set only with OK.
void TTableForm::BSweepClick() {
    if (point_.Frequency == 0) return;
    const std::optional<TDbmTable> swept =
        windows_.Sweep.SweepPoint(point_.Frequency, table_, this);
    if (!swept) return;
    ChangeTable(*swept, QStringLiteral("Sweep ") + FrequencyText(point_.Frequency));
}

// The point as the set holds it (the editor's changes reach the set only
// with OK), checked against known levels; the set is only read.
void TTableForm::BVerifyClick() {
    if (point_.Frequency == 0) return;
    TSweepSettings sweep;
    if (!windows_.Sweep.GeneratorSettings(sweep)) {
        platform::ShowError(this, QStringLiteral("The generator settings of the Sweep window are "
                                                 "not valid: correct them there first."));
        return;
    }
    TDbmTable stored;
    if (!copySource_ || !copySource_(point_.Frequency, stored)) return;
    TVerifyForm &verify = windows_.Verify;
    verify.SetGenerator(sweep);
    verify.SetPoints(
        {point_.Frequency}, [](std::uint64_t, QString &) { return true; }, // tuned already
        [stored](std::uint64_t, std::uint8_t raw) -> std::optional<double> {
            if (SignalScale::IsNotSet(stored[raw])) return std::nullopt;
            return stored[raw];
        });
    verify.ShowModal();
}

void TTableForm::stSpeedButton4Click() {
    TGraphForm &graph = windows_.Graph;
    if (!graph.isVisible()) PlaceGraphBeside();
    // A window of the editor's own stays usable during its modal run.
    graph.winId();
    if (QWindow *window = graph.windowHandle()) window->setTransientParent(windowHandle());
    graph.show();
    graph.raise();
}

// Right of the editor if the screen has room there, else left of it; where
// neither side has room, the editor moves aside if the screen is wide enough
// for both, else the graph goes to the screen's edge that hides less of the
// grid.
void TTableForm::PlaceGraphBeside() {
    const QScreen *screen = this->screen();
    if (!screen) return;
    const QRect editor = frameGeometry();
    const QRect grid(T->mapToGlobal(QPoint(0, 0)), T->size());
    const TBesidePlacement place = PlaceBeside(editor, windows_.Graph.frameGeometry().size(),
                                               screen->availableGeometry(), grid);
    if (place.Anchor != editor.topLeft()) move(place.Anchor);
    windows_.Graph.move(place.Window);
}

void TTableForm::stSpeedButton5Click() {
    SetModalResult(mrOk);
}

void TTableForm::stSpeedButton3Click() {
    SysBtnCloseClick();
}

void TTableForm::showEvent(QShowEvent *event) {
    TstForm::showEvent(event);
    T->setFocus();
}

void TTableForm::hideEvent(QHideEvent *event) {
    TstForm::hideEvent(event);
    EndChange();
    windows_.Graph.hide();
}
