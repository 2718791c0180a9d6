// TErrorPlotView: a verification's error plot on the screen, painted by the
// same code that prints it in the calibration report.
#pragma once

#include "generator/verification.h"

#include <QWidget>

class TErrorPlotView : public QWidget {
    Q_OBJECT
public:
    explicit TErrorPlotView(QWidget *parent = nullptr);

    // Shows these results (a copy); repaints.
    void SetResults(const TVerification &results);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TVerification results_;
};
