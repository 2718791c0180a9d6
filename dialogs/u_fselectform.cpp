#include "dialogs/u_fselectform.h"

TFSelectForm *FSelectForm = nullptr;

TFSelectForm::TFSelectForm(QWidget *parent)
    : TstForm(QStringLiteral("Copy"), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);
}
