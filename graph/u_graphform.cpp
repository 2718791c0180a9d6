#include "graph/u_graphform.h"

TGraphForm *GraphForm = nullptr;

TGraphForm::TGraphForm(QWidget *parent)
    : TstForm(QStringLiteral("Graph"), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);
}
