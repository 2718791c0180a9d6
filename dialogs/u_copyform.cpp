#include "dialogs/u_copyform.h"

#include "calibration/smsdk.h"
#include "controls/dialogparts.h"
#include "controls/myscrollbar.h"
#include "controls/stcontrol.h"
#include "controls/stgrid.h"
#include "controls/stpanel.h"
#include "controls/stspeedbutton.h"
#include "platform/application.h"

#include <QLabel>
#include <QPainter>
#include <QShowEvent>

#include <exception>

using namespace dialogparts;

namespace {

// Both lists: one column as wide as the list, which keeps its width beside
// the scroll bar's place also while the bar is hidden, and a darker scroll
// bar than the other windows'.
TstGrid *MakeChoiceList(TstPanel *panel, TmyScrollBar *&bar, const char *name,
                        const char *barName) {
    bar = MakeListScrollBar(panel);
    bar->setObjectName(QLatin1String(barName));
    bar->SetColor(4210752);
    TstGrid *grid = MakeListGrid(panel, 3, 0);
    grid->setObjectName(QLatin1String(name));
    SetAlign(grid, TAlign::alNone);
    panel->Realign();
    const QRect area = panel->AlignRect();
    grid->setGeometry(area.adjusted(0, 0, -bar->width(), 0));
    grid->SetColWidth(0, grid->width());
    return grid;
}

constexpr int kWidth = 283;
constexpr int kHeight = 290;

} // namespace

TCopyForm::TCopyForm(QWidget *parent)
    : TstForm(QStringLiteral("Copy"), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);

    BCopy = Named(MakeButton(ClientPanel, QRect(206, 30, 70, 21), QStringLiteral("Copy")), "BCopy");
    connect(BCopy, &TstSpeedButton::OnClick, this, &TCopyForm::BCopyClick);
    TstSpeedButton *BSelect =
        Named(MakeButton(ClientPanel, QRect(206, 54, 70, 21), QStringLiteral("Cancel")), "BSelect");
    connect(BSelect, &TstSpeedButton::OnClick, this, &TstForm::SysBtnCloseClick);

    TstPanel *stPanel1 = Named(MakeListPanel(ClientPanel, QRect(6, 30, 193, 253)), "stPanel1");
    Named(MakeCaption(stPanel1, 66, 8, QStringLiteral("Devices")), "Label2");
    TstPanel *stPanel2 = Named(MakeListPanel(stPanel1, QRect(8, 28, 178, 74)), "stPanel2");
    D = MakeChoiceList(stPanel2, DSB, "D", "DSB");
    Named(MakeCaption(stPanel1, 70, 109, QStringLiteral("Modes")), "Label1");
    TstPanel *FTP = Named(MakeListPanel(stPanel1, QRect(8, 129, 178, 116)), "FTP");
    M = MakeChoiceList(FTP, MSB, "M", "MSB");

    for (TstGrid *grid : {D, M}) {
        grid->SetOnDrawCell([this](TstGrid *sender, QPainter &canvas, int col, int row,
                                   const QRect &rect, TstGrid::TGridDrawState state) {
            MDrawCell(sender, canvas, col, row, rect, state);
        });
    }
    D->SetOnSelectCell([this](TstGrid *sender, int col, int row, bool &canSelect) {
        DSelectCell(sender, col, row, canSelect);
    });
    connect(D, &TstGrid::OnTopLeftChanged, this, &TCopyForm::DTopLeftChanged);
    connect(M, &TstGrid::OnTopLeftChanged, this, &TCopyForm::MTopLeftChanged);
    connect(DSB, &TmyScrollBar::OnPositionChange, this, &TCopyForm::DSBPositionChange);
    connect(MSB, &TmyScrollBar::OnPositionChange, this, &TCopyForm::MSBPositionChange);

    CentreOnScreen(this);
}

std::optional<TCopyChoice> TCopyForm::AskSource(std::int32_t cal) {
    cal_ = cal;
    if (ShowModal() != mrOk) return std::nullopt;
    return chosen_;
}

void TCopyForm::showEvent(QShowEvent *event) {
    TstForm::showEvent(event);
    if (event->spontaneous()) return;
    D->SetRowCount(1);
    D->ClearRow(0);
    receiverCount_ = 0;
    ClearModes();
    const Smsdk &sdk = Smsdk::Instance();
    for (const char *name : Smsdk::ModelNames) {
        // Without the library bound there is no set to list.
        if (!sdk.IsLoaded() || sdk.GetModes(cal_, name, nullptr, 0) <= 0) continue;
        D->SetRowCount(receiverCount_ + 1);
        D->SetCells(0, receiverCount_++, QString::fromLatin1(name));
    }
    FitScrollBar(DSB, D);
    BCopy->setEnabled(receiverCount_ > 0);
    if (receiverCount_ > 0) ListModes(D->Row());
}

void TCopyForm::ClearModes() {
    M->SetRowCount(1);
    M->ClearRow(0);
    modeCount_ = 0;
    modeCodes_.clear();
    MSB->hide();
}

void TCopyForm::ListModes(int row) {
    const QByteArray name = D->Cells(0, row).toLatin1();
    ClearModes();
    try {
        for (const std::int32_t mode :
             Smsdk::Instance().ReadModes(cal_, name.constData()).Entries) {
            const QString text = Smsdk::ModeText(mode);
            M->SetRowCount(modeCount_ + 1);
            M->SetCells(0, modeCount_++, text);
            modeCodes_.push_back(mode);
        }
    } catch (const std::exception &error) {
        // "Unknown mode": the modes listed before it stay and can be chosen.
        platform::ShowExceptionBox(error);
    }
    FitScrollBar(MSB, M);
    BCopy->setEnabled(modeCount_ > 0);
}

void TCopyForm::DSelectCell(TstGrid *, int, int row, bool &) {
    if (receiverCount_ > 0) ListModes(row);
}

void TCopyForm::BCopyClick() {
    if (receiverCount_ <= 0 || M->Row() >= int(modeCodes_.size())) return;
    chosen_ = {D->Cells(0, D->Row()), modeCodes_[std::size_t(M->Row())]};
    SetModalResult(mrOk);
}

void TCopyForm::DTopLeftChanged(TstGrid *) {
    DSB->SetPosition(D->TopRow());
}

void TCopyForm::MTopLeftChanged(TstGrid *) {
    MSB->SetPosition(M->TopRow());
}

void TCopyForm::DSBPositionChange(TmyScrollBar *) {
    D->SetTopRow(int(DSB->Position()));
}

void TCopyForm::MSBPositionChange(TmyScrollBar *) {
    M->SetTopRow(int(MSB->Position()));
}

void TCopyForm::MDrawCell(TstGrid *sender, QPainter &canvas, int col, int row, const QRect &rect,
                          int state) {
    canvas.setFont(sender->font()); // Arial, 11 pixels
    const bool entries = (sender == D ? receiverCount_ : modeCount_) > 0;
    const bool selected = entries && (state & TstGrid::gdSelected);
    canvas.fillRect(rect, ColorToQColor(selected ? kSelectedRow : sender->Color()));
    if (!entries) return;
    canvas.setPen(selected ? QColor(Qt::black) : ColorToQColor(kListText));
    TextOut(canvas, rect.left() + 5, rect.top(), sender->Cells(col, row));
}
