#include "dialogs/u_tableform.h"

#include "graph/u_graphform.h"

TTableForm *TableForm = nullptr;

TTableForm::TTableForm(QWidget *parent)
    : TstForm(QStringLiteral("TableForm"), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);
}

void TTableForm::LoadTable(const TDbmTable &values, const QString &caption) {
    table_ = values;
    if (GraphForm) GraphForm->SetTable(values, caption);
}
