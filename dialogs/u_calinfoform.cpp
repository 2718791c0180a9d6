#include "dialogs/u_calinfoform.h"

#include "calibration/frequencytext.h"
#include "calibration/smsdk.h"
#include "controls/dialogparts.h"
#include "controls/myscrollbar.h"
#include "controls/stgrid.h"
#include "controls/stpanel.h"
#include "controls/stspeedbutton.h"
#include "platform/application.h"

#include <QPainter>
#include <QShowEvent>

#include <exception>

using namespace dialogparts;

namespace {

constexpr int kWidth = 395;
constexpr int kHeight = 413;

constexpr TColor kCellFill = RGBColor(85, 85, 85);
constexpr TColor kCellLine = RGBColor(32, 32, 32);
constexpr int kColumnWidths[3] = {60, 170, 100};

} // namespace

TCalInfoForm::TCalInfoForm(QWidget *parent)
    : TstForm(QStringLiteral("Calibration table information"), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);

    TstPanel *P = Named(MakeListPanel(ClientPanel, QRect(6, 28, 0, 354)), "P");
    SB = Named(MakeListScrollBar(P), "SB");
    connect(SB, &TmyScrollBar::OnPositionChange, this, &TCalInfoForm::SBPositionChange);
    G = Named(MakeListGrid(P, 3, 1), "G");
    G->SetOnDrawCell([this](TstGrid *sender, QPainter &canvas, int col, int row, const QRect &rect,
                            TstGrid::TGridDrawState state) {
        GDrawCell(sender, canvas, col, row, rect, state);
    });
    connect(G, &TstGrid::OnTopLeftChanged, this, &TCalInfoForm::GTopLeftChanged);

    TstSpeedButton *BClose =
        Named(MakeButton(ClientPanel, QRect(0, 386, 70, 21), QStringLiteral("Close")), "BClose");
    connect(BClose, &TstSpeedButton::OnClick, this, &TstForm::SysBtnCloseClick);

    const QStringList header = QStringLiteral("Receiver\nMode\nFrequency").split(u'\n');
    int columns = 0;
    for (int c = 0; c < 3; ++c) {
        G->SetColWidth(c, kColumnWidths[c]);
        G->SetCells(c, 0, header[c]);
        columns += kColumnWidths[c];
    }
    // The window is as wide as the three columns and the panel's bevel need.
    P->resize(columns + 2 * P->BevelWidth(), P->height());
    SetSize(P->width() + 12, kHeight);
    BClose->move(P->geometry().right() + 1 - BClose->width(), BClose->y());
    P->Realign();

    CentreOnScreen(this);
}

void TCalInfoForm::ShowDetails(std::int32_t cal, QWidget *owner) {
    cal_ = cal;
    centreWindow_ = owner;
    ShowModal();
}

void TCalInfoForm::showEvent(QShowEvent *event) {
    TstForm::showEvent(event);
    if (event->spontaneous()) return;
    if (centreWindow_ && centreWindow_->isVisible())
        move(centreWindow_->geometry().center() - QPoint(width() / 2, height() / 2));
    try {
        FillListing();
    } catch (const std::exception &error) {
        // "Unknown mode": the listing stops there; what it holds can still be
        // scrolled.
        FitScrollBar(SB, G);
        platform::ShowExceptionBox(error);
    }
    G->setFocus();
}

void TCalInfoForm::FillListing() {
    G->SetRowCount(2);
    G->ClearRow(1);
    nextRow_ = 1;
    const Smsdk &sdk = Smsdk::Instance();
    for (const char *name : Smsdk::ModelNames) {
        // Without the library bound there is no set to list.
        if (!sdk.IsLoaded()) continue;
        const TSetList<std::int32_t> modes = sdk.ReadModes(cal_, name);
        if (modes.SizeAnswer <= 0) continue;
        const int receiverRow = nextRow_;
        G->SetRowCount(nextRow_ + 1);
        G->SetCells(0, nextRow_, QString::fromLatin1(name));
        for (const std::int32_t mode : modes.Entries) {
            const int modeRow = nextRow_;
            const QString modeText = Smsdk::ModeText(mode);
            G->SetRowCount(nextRow_ + 1);
            G->SetCells(1, nextRow_, modeText);
            const TSetList<std::uint64_t> points = sdk.ReadFrequencies(cal_, name, mode);
            if (points.SizeAnswer > 0) {
                G->SetRowCount(int(points.Entries.size()) + nextRow_);
                for (const std::uint64_t point : points.Entries)
                    G->SetCells(2, nextRow_++, FrequencyText(point));
            }
            // A mode without points keeps its row.
            if (nextRow_ == modeRow) ++nextRow_;
        }
        if (nextRow_ == receiverRow) ++nextRow_;
    }
    FitScrollBar(SB, G);
}

void TCalInfoForm::GTopLeftChanged(TstGrid *) {
    SB->SetPosition(G->TopRow());
}

void TCalInfoForm::SBPositionChange(TmyScrollBar *) {
    G->SetTopRow(int(SB->Position()));
}

void TCalInfoForm::GDrawCell(TstGrid *, QPainter &canvas, int col, int row, const QRect &rect,
                             int state) {
    canvas.setFont(G->font()); // Arial, 11 pixels
    const bool filled = nextRow_ >= 2;
    const bool header = row < G->FixedRows();
    const bool selected = (state & TstGrid::gdSelected) && !header;
    TColor fill = kCellFill;
    if (header)
        fill = kListBack;
    else if (selected && filled)
        fill = kSelectedRow;
    else if (!filled)
        fill = G->Color();
    canvas.fillRect(rect, ColorToQColor(fill));

    const QString text = G->Cells(col, row);
    // Toolkit rectangles: Right and Bottom are the first pixels after the cell.
    const int left = rect.left(), top = rect.top();
    const int right = left + rect.width(), bottom = top + rect.height();
    if (filled && !header) {
        DrawPolylineExcl(canvas, {{left, top}, {right, top}, {right, bottom}},
                         ColorToQColor(text.isEmpty() ? kCellFill : kCellLine));
        if (col > 0) DrawLineExcl(canvas, {left, top}, {left, bottom}, ColorToQColor(kCellLine));
    }
    if (text.isEmpty()) return;

    canvas.setPen(ColorToQColor(header ? clYellow : selected ? kCellLine : kListText));
    int x = left + 3;
    if (col == 2) {
        x = right - TextWidth(canvas, text) - 3;
        if (!SB->isHidden()) x -= SB->width();
    }
    TextOut(canvas, x, top, text);
}
