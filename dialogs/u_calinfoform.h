// TCalInfoForm: the calibration details dialog. Read-only: it lists, for
// every receiver name of the model-name table that the open set holds, each
// of its modes and each of their frequency points, refilled from the library
// at every showing.
//
// Listing: the receiver name and the first mode's text stand on the row of
// that mode's first point; each further mode begins on the row of its own
// first point. A mode without points (a set written by another program may
// hold one) gets a row of its own with an empty frequency cell.
#pragma once

#include "controls/stform.h"

#include <QPointer>

#include <cstdint>

class QPainter;
class QShowEvent;
class TmyScrollBar;
class TstGrid;

class TCalInfoForm : public TstForm {
    Q_OBJECT
public:
    explicit TCalInfoForm(QWidget *parent = nullptr);

    // Lists the set `cal` (read through Smsdk::Instance()) in the modal run,
    // centred on `owner` when that is shown (the main window).
    void ShowDetails(std::int32_t cal, QWidget *owner);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void GDrawCell(TstGrid *sender, QPainter &canvas, int col, int row, const QRect &rect,
                   int state);
    void GTopLeftChanged(TstGrid *sender);
    void SBPositionChange(TmyScrollBar *sender);
    void FillListing();

    TstGrid *G = nullptr;
    TmyScrollBar *SB = nullptr;

    std::int32_t cal_ = -1;
    int nextRow_ = 1;
    QPointer<QWidget> centreWindow_;
};
