#include "dialogs/u_calinfoform.h"

TCalInfoForm *CalInfoForm = nullptr;

TCalInfoForm::TCalInfoForm(QWidget *parent)
    : TstForm(QStringLiteral("Calibration table information"), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);
}
