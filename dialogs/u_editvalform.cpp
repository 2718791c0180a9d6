#include "dialogs/u_editvalform.h"

TEditValForm *EditValForm = nullptr;

TEditValForm::TEditValForm(QWidget *parent)
    : TstForm(QStringLiteral("Edit "), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);
}
