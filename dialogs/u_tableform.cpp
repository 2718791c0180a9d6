#include "dialogs/u_tableform.h"

TTableForm *TableForm = nullptr;

TTableForm::TTableForm(QWidget *parent)
    : TstForm(QStringLiteral("TableForm"), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);
}
