// TFSelectForm: the frequency-select dialog of the table editor's Copy. It
// lists the points of the main window's list and hands back the one chosen.
//
// The dialog never fills its list itself: the main window's list refresh
// writes the same point rows into F (column 0 the frequency text, column 1
// the frequency in Hz as a decimal number, column 2 empty) and sets FSB, so
// the list always mirrors the main window's. The selection and the chosen
// frequency are kept from one showing to the next.
#pragma once

#include "controls/stform.h"

#include <cstdint>

class QLabel;
class QPainter;
class TmyScrollBar;
class TstGrid;

class TFSelectForm : public TstForm {
    Q_OBJECT
public:
    static constexpr int kWidth = 247;
    static constexpr int kHeight = 230;

    explicit TFSelectForm(QWidget *parent = nullptr);

    // The frequency of the row chosen by the last Copy; valid after
    // ShowModal() == mrOk.
    std::uint64_t ChosenFrequency() const { return chosenFrequency_; }

    void BCopyClick();
    void FDrawCell(TstGrid *sender, QPainter &canvas, int col, int row, const QRect &rect,
                   int state);
    void FKeyPress(TstGrid *sender, QChar &key);
    void FTopLeftChanged(TstGrid *sender);
    void FSBPositionChange(TmyScrollBar *sender);

    TstPanel *stPanel1 = nullptr;
    QLabel *Label1 = nullptr;
    TstPanel *FTP = nullptr;
    TstGrid *F = nullptr;
    TmyScrollBar *FSB = nullptr;
    TstSpeedButton *BCopy = nullptr;
    TstSpeedButton *BSelect = nullptr;

private:
    std::uint64_t chosenFrequency_ = 0;
};

extern TFSelectForm *FSelectForm;
