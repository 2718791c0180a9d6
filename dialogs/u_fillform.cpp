#include "dialogs/u_fillform.h"

TFillForm *FillForm = nullptr;

TFillForm::TFillForm(QWidget *parent)
    : TstForm(QStringLiteral("Fill"), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);
}
