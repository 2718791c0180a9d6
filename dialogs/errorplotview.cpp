#include "dialogs/errorplotview.h"

#include "report/errorplot.h"

#include <QPainter>

TErrorPlotView::TErrorPlotView(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TErrorPlotView::SetResults(const TVerification &results) {
    results_ = results;
    update();
}

void TErrorPlotView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    ErrorPlot::Paint(painter, rect(), results_, TErrorPlotLook::Screen());
}
