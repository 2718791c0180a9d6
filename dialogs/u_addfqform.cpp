#include "dialogs/u_addfqform.h"

#include "controls/myfrequencyedit.h"

TAddFqForm *AddFqForm = nullptr;

TAddFqForm::TAddFqForm(QWidget *parent)
    : TstForm(QStringLiteral("Add Frequency"), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);
    Fq = new TmyFrequencyEdit(ClientPanel);
    Fq->setGeometry(8, 52, 129, 22);
    Fq->SetColor(clBlack);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    Fq->setFont(font);
    Fq->SetFontColor(clLime);
    Fq->SetDefaultShadow(false);
    Fq->SetMaxLength(12);
    Fq->SetFixedPoint(fp1Hz);
    Fq->SetHzLimit(2000);
    Fq->SetShowUnit(fuMHz);
    Fq->setText(QStringLiteral("0,000000"));
}
