#include "dialogs/u_fselectform.h"

#include "controls/dialogparts.h"
#include "controls/myscrollbar.h"
#include "controls/stgrid.h"
#include "controls/stpanel.h"
#include "controls/stspeedbutton.h"
#include "dialogs/pointlistmodel.h"

#include <QLabel>
#include <QPainter>

using namespace dialogparts;

namespace {

constexpr int kWidth = 247;
constexpr int kHeight = 230;

} // namespace

TFSelectForm::TFSelectForm(const TPointListModel &points, QWidget *parent)
    : TstForm(QStringLiteral("Copy"), TFrameKind::fkDialog, parent), points_(points) {
    SetSize(kWidth, kHeight);

    TstPanel *stPanel1 = Named(new TstPanel(ClientPanel), "stPanel1");
    stPanel1->setGeometry(6, 30, 159, 193);
    stPanel1->SetBevelWidth(2);
    stPanel1->SetParentColor(true);

    Named(MakeCaption(stPanel1, 7, 8, QStringLiteral("Select frequency to copy")), "Label1");

    TstPanel *FTP = Named(MakeListPanel(stPanel1, QRect(7, 25, 146, 161)), "FTP");
    FSB = Named(MakeListScrollBar(FTP), "FSB");
    connect(FSB, &TmyScrollBar::OnPositionChange, this, &TFSelectForm::FSBPositionChange);
    F = Named(MakeListGrid(FTP, 3, 0), "F");
    F->SetDefaultColWidth(120);
    F->SetOnDrawCell([this](TstGrid *sender, QPainter &canvas, int col, int row, const QRect &rect,
                            TstGrid::TGridDrawState state) {
        FDrawCell(sender, canvas, col, row, rect, state);
    });
    F->SetOnKeyPress([this](TstGrid *sender, QChar &key) { FKeyPress(sender, key); });
    connect(F, &TstGrid::OnTopLeftChanged, this, &TFSelectForm::FTopLeftChanged);
    FTP->Realign();

    TstSpeedButton *BCopy =
        Named(MakeButton(ClientPanel, QRect(170, 32, 70, 21), QStringLiteral("Copy")), "BCopy");
    connect(BCopy, &TstSpeedButton::OnClick, this, &TFSelectForm::BCopyClick);
    TstSpeedButton *BSelect =
        Named(MakeButton(ClientPanel, QRect(170, 56, 70, 21), QStringLiteral("Cancel")), "BSelect");
    connect(BSelect, &TstSpeedButton::OnClick, this, &TstForm::SysBtnCloseClick);

    connect(&points_, &TPointListModel::Changed, this, &TFSelectForm::PointsChanged);
    PointsChanged();

    CentreOnScreen(this);
}

std::optional<std::uint64_t> TFSelectForm::AskFrequency() {
    if (ShowModal() != mrOk) return std::nullopt;
    return chosenFrequency_;
}

void TFSelectForm::PointsChanged() {
    FillPointList(*F, points_);
    FitScrollBar(FSB, F);
}

void TFSelectForm::BCopyClick() {
    chosenFrequency_ = points_.At(F->Row());
    SetModalResult(mrOk);
}

void TFSelectForm::FKeyPress(TstGrid *, QChar &key) {
    if (key != u'\r') return;
    key = QChar(0);
    BCopyClick();
}

void TFSelectForm::FTopLeftChanged(TstGrid *) {
    FSB->SetPosition(F->TopRow());
}

void TFSelectForm::FSBPositionChange(TmyScrollBar *) {
    F->SetTopRow(int(FSB->Position()));
}

void TFSelectForm::FDrawCell(TstGrid *, QPainter &canvas, int col, int row, const QRect &rect,
                             int state) {
    canvas.setFont(F->font()); // Arial, 11 pixels
    const bool selected = state & TstGrid::gdSelected;
    canvas.fillRect(rect, ColorToQColor(selected ? kSelectedRow : F->Color()));
    // The blank row of an empty list carries no row number.
    if (col != 0 || row >= points_.Count()) return;
    canvas.setPen(selected ? QColor(Qt::black) : ColorToQColor(kListText));
    DrawPointRow(canvas, rect, row, F->Cells(0, row), 0);
}
