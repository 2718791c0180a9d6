// TstGrid: the string grid that the windows draw their lists and the table
// editor in. Every cell is drawn by the program (OnDrawCell); the grid keeps
// the cells' texts, the geometry, the current cell and the scroll position.
//
// Geometry: columns of ColWidth(c) pixels (DefaultColWidth unless set), rows
// of RowHeight pixels, each followed by a gap of GridLineWidth pixels (1) in
// the grid's Color; the first FixedRows rows stay at the top and are not
// scrolled. Non-fixed rows scroll by TopRow; there are no scroll bars of its
// own (a window pairs the grid with a scroll bar through OnTopLeftChanged and
// SetTopRow). Only the rows that are visible are drawn.
//
// Selection: one current cell (Col, Row), never in a fixed row. With
// RowSelect the whole current row counts as selected. Mouse, wheel and keys
// move the current cell; each move asks OnSelectCell, which may refuse a
// cell, and the keys then skip refused cells in their direction. Setting
// Row/Col asks too; SetSelection moves without asking.
#pragma once

#include "controls/stglobal.h"

#include <QWidget>

#include <functional>
#include <vector>

class TstGrid : public QWidget {
    Q_OBJECT
public:
    enum TGridDrawStateFlag { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
    using TGridDrawState = int;

    // The painter is the grid's, not clipped to the cell: a handler may draw
    // into the gap after the cell. Its font starts as the grid's font.
    using TDrawCellEvent = std::function<void(TstGrid *sender, QPainter &canvas, int col, int row,
                                              const QRect &rect, TGridDrawState state)>;
    using TSelectCellEvent =
        std::function<void(TstGrid *sender, int col, int row, bool &canSelect)>;
    // key is a Qt::Key; set it to 0 to keep the grid from moving.
    using TKeyEvent = std::function<void(TstGrid *sender, int &key, Qt::KeyboardModifiers shift)>;
    // A key's character ('\r' for Enter); set it to QChar(0) to consume it.
    using TKeyPressEvent = std::function<void(TstGrid *sender, QChar &key)>;

    explicit TstGrid(QWidget *parent = nullptr);

    int RowCount() const { return rowCount_; }
    void SetRowCount(int value);
    int ColCount() const { return colCount_; }
    void SetColCount(int value);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int value);

    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int value);
    int ColWidth(int col) const;
    void SetColWidth(int col, int width);
    int RowHeight() const { return rowHeight_; }
    void SetRowHeight(int value);
    int GridLineWidth() const { return lineWidth_; }
    void SetGridLineWidth(int value);

    // Lines in FixedLineColor around the fixed cells (drawn before the cells).
    bool FixedGridLines() const { return fixedLines_; }
    void SetFixedGridLines(bool value);
    TColor FixedLineColor() const { return fixedLineColor_; }
    void SetFixedLineColor(TColor value);
    bool RowSelect() const { return rowSelect_; }
    void SetRowSelect(bool value);
    // The background where no cell is.
    TColor Color() const { return color_; }
    void SetColor(TColor value);

    QString Cells(int col, int row) const;
    // Setting a cell's text repaints that cell.
    void SetCells(int col, int row, const QString &text);
    // Empties every cell of a row.
    void ClearRow(int row);
    void InvalidateCell(int col, int row);
    void InvalidateRow(int row);

    int Row() const { return row_; }
    int Col() const { return col_; }
    void SetRow(int row);
    void SetCol(int col);
    void SetSelection(int col, int row);

    // The first non-fixed row on view; kept within FixedRows..MaxTopRow().
    int TopRow() const { return topRow_; }
    void SetTopRow(int row);
    int MaxTopRow() const;
    // Non-fixed rows wholly on view from TopRow on (no more than there are).
    int VisibleRowCount() const;

    // The cell under a point of the grid; -1 for a coordinate beside every
    // column or row. A gap belongs to the cell before it.
    void MouseToCell(int x, int y, int &col, int &row) const;
    QRect CellRect(int col, int row) const;

    // The hooks that draw or may refuse: one handler each, set by the owner.
    void SetOnDrawCell(TDrawCellEvent handler) { onDrawCell_ = std::move(handler); }
    void SetOnSelectCell(TSelectCellEvent handler) { onSelectCell_ = std::move(handler); }
    void SetOnKeyDown(TKeyEvent handler) { onKeyDown_ = std::move(handler); }
    void SetOnKeyPress(TKeyPressEvent handler) { onKeyPress_ = std::move(handler); }

signals:
    void OnTopLeftChanged(TstGrid *sender);
    void OnDblClick(TstGrid *sender);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool CanSelect(int col, int row);
    // Moves to (col,row) if allowed, else walks on by (dc,dr) until a cell is
    // allowed; false when none is.
    bool MoveTo(int col, int row, int dc, int dr);
    void MoveCurrent(int col, int row);
    void ScrollInView(int row);
    void ClampTopRow();
    int ColLeft(int col) const;
    int RowTop(int row) const;
    int Pitch() const { return rowHeight_ + lineWidth_; }
    int FixedExtent() const { return fixedRows_ * Pitch(); }
    int Capacity() const;

    int rowCount_ = 5;
    int colCount_ = 5;
    int fixedRows_ = 1;
    int defaultColWidth_ = 64;
    int rowHeight_ = 24;
    int lineWidth_ = 1;
    bool fixedLines_ = false;
    TColor fixedLineColor_ = clBlack;
    bool rowSelect_ = false;
    TColor color_ = SysColor::clWindow;
    std::vector<int> colWidths_;
    std::vector<QString> cells_; // row-major, rowCount_ x colCount_
    int row_ = 1;
    int col_ = 0;
    int topRow_ = 1;
    TDrawCellEvent onDrawCell_;
    TSelectCellEvent onSelectCell_;
    TKeyEvent onKeyDown_;
    TKeyPressEvent onKeyPress_;
};
