// The "Frequencies" panel of the main window: the list of the frequency
// points that the open set holds for "ZX-K740" in the calibration mode, and
// the panel's commands Add, Edit, Delete and copy from another mode.
//
// The list keeps no copy of the points besides the cells of the grid F: each
// row holds the frequency text (column 0, drawn), the frequency in Hz as a
// decimal number (column 1, read by the commands) and an empty column 2. An
// empty list is one row of empty cells; PointCount() says how many rows are
// real. Every refresh writes the same rows into the frequency-select
// dialog's grid, so the table editor's Copy offers exactly these points.
//
// It works on the main window's controls (F, FSB, BEdit, BDelete, Fq) and its
// calibration document and receiver; the window creates the controls and
// connects the buttons and the grid to the operations here.
#pragma once

#include <QObject>

#include <cstdint>

class QPainter;
class QRect;
class TMainForm;
class TPointListModel;

class TPointList : public QObject {
    Q_OBJECT
public:
    explicit TPointList(TMainForm &form);

    // Hooks the grid's drawing, selection, double click and scrolling and
    // the scroll bar; called once the window's controls exist.
    void Attach();

    // Refills the list (and the frequency-select dialog's) from the set.
    void Refresh();
    // The list without a set: one empty row, Edit and Delete disabled, the
    // scroll bar hidden.
    void Clear();

    int PointCount() const { return count_; }
    bool Refreshing() const { return refreshing_; }
    // The frequency of a real row (its column 1).
    std::uint64_t RowFrequency(int row) const;
    // The first real row holding `hz`, or -1.
    int FindRow(std::uint64_t hz) const;

    // The panel's commands.
    void Add();
    void Edit();
    void Delete();
    void CopyFromOtherMode();
    void Sweep();
    // Sweep needs points and an open receiver.
    void UpdateSweep();

    // The grid's events.
    void FDrawCell(QPainter &canvas, int col, int row, const QRect &rect, int state);
    void FSelectCell(int col, int row);
    void FDblClick();
    void FTopLeftChanged();
    void FSBPositionChange();

private:
    void Tune(std::uint64_t hz);
    void FitScrollBars();
    TPointListModel &Model() const;

    TMainForm &form_;
    int count_ = 0;
    bool refreshing_ = false;
};
