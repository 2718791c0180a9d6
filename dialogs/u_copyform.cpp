#include "dialogs/u_copyform.h"

TCopyForm *CopyForm = nullptr;

TCopyForm::TCopyForm(QWidget *parent)
    : TstForm(QStringLiteral("Copy"), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);
}
