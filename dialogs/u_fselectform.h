// TFSelectForm: the frequency-select dialog of the table editor's Copy. It
// lists the points of the main window's list and hands back the one chosen.
//
// The list draws from the point list model that the main window's list
// draws from too, so it always mirrors the main window's list; it follows
// every change of the model (rows, scroll bar). The selection is kept from one
// showing to the next.
#pragma once

#include "controls/stform.h"

#include <cstdint>
#include <optional>

class QLabel;
class QPainter;
class TmyScrollBar;
class TPointListModel;
class TstGrid;

class TFSelectForm : public TstForm {
    Q_OBJECT
public:
    // `points` outlives the dialog.
    explicit TFSelectForm(const TPointListModel &points, QWidget *parent = nullptr);

    // The modal run: the frequency of the row chosen with Copy or Enter, or
    // nothing after Cancel.
    std::optional<std::uint64_t> AskFrequency();

private:
    void BCopyClick();
    void FDrawCell(TstGrid *sender, QPainter &canvas, int col, int row, const QRect &rect,
                   int state);
    void FKeyPress(TstGrid *sender, QChar &key);
    void FTopLeftChanged(TstGrid *sender);
    void FSBPositionChange(TmyScrollBar *sender);
    // The list after the model changed.
    void PointsChanged();

    const TPointListModel &points_;
    TstGrid *F = nullptr;
    TmyScrollBar *FSB = nullptr;

    std::uint64_t chosenFrequency_ = 0;
};
