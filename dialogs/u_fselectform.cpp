#include "dialogs/u_fselectform.h"

#include "controls/myscrollbar.h"
#include "controls/stgrid.h"
#include "controls/stpanel.h"
#include "controls/stspeedbutton.h"
#include "dialogs/dialogcontrols.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

TFSelectForm *FSelectForm = nullptr;

using namespace dialogcontrols;

TFSelectForm::TFSelectForm(QWidget *parent)
    : TstForm(QStringLiteral("Copy"), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);

    stPanel1 = new TstPanel(ClientPanel);
    stPanel1->setGeometry(6, 30, 159, 193);
    stPanel1->SetBevelWidth(2);
    stPanel1->SetParentColor(true);

    Label1 = MakeCaption(stPanel1, 7, 8, QStringLiteral("Select frequency to copy"));

    FTP = MakeListPanel(stPanel1, QRect(7, 25, 146, 161));
    FSB = MakeListScrollBar(FTP);
    connect(FSB, &TmyScrollBar::OnPositionChange, this, &TFSelectForm::FSBPositionChange);
    F = MakeListGrid(FTP, 3, 0);
    F->SetDefaultColWidth(120);
    F->OnDrawCell = [this](TstGrid *sender, QPainter &canvas, int col, int row, const QRect &rect,
                           TstGrid::TGridDrawState state) {
        FDrawCell(sender, canvas, col, row, rect, state);
    };
    F->OnKeyPress = [this](TstGrid *sender, QChar &key) { FKeyPress(sender, key); };
    connect(F, &TstGrid::OnTopLeftChanged, this, &TFSelectForm::FTopLeftChanged);
    FTP->Realign();

    BCopy = MakeButton(ClientPanel, QRect(170, 32, 70, 21), QStringLiteral("Copy"));
    connect(BCopy, &TstSpeedButton::OnClick, this, &TFSelectForm::BCopyClick);
    BSelect = MakeButton(ClientPanel, QRect(170, 56, 70, 21), QStringLiteral("Cancel"));
    connect(BSelect, &TstSpeedButton::OnClick, this, &TstForm::SysBtnCloseClick);

    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - QPoint(kWidth / 2, kHeight / 2));
}

void TFSelectForm::BCopyClick() {
    chosenFrequency_ = F->Cells(1, F->Row()).toULongLong();
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
    if (col != 0) return;
    const QString frequency = F->Cells(0, row);
    if (frequency.isEmpty()) return; // the blank row of an empty list
    canvas.setPen(selected ? QColor(Qt::black) : ColorToQColor(kListText));
    // The cell's right edge is the first pixel after it.
    const int right = rect.left() + rect.width();
    TextOut(canvas, right - 2 - TextWidth(canvas, frequency), rect.top(), frequency);
    const QString label = QString::number(row + 1) + u'.';
    const int labelEnd = rect.left() + TextWidth(canvas, QStringLiteral("0000."));
    TextOut(canvas, labelEnd - TextWidth(canvas, label), rect.top(), label);
}
