#include "controls/stgrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

TstGrid::TstGrid(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    cells_.resize(std::size_t(rowCount_) * std::size_t(colCount_));
    resize(320, 120);
}

void TstGrid::SetRowCount(int value) {
    value = std::max(value, 1);
    if (rowCount_ == value) return;
    cells_.resize(std::size_t(value) * std::size_t(colCount_));
    rowCount_ = value;
    fixedRows_ = std::min(fixedRows_, rowCount_ - 1);
    if (row_ >= rowCount_) row_ = rowCount_ - 1;
    if (row_ < fixedRows_) row_ = fixedRows_;
    ClampTopRow();
    update();
}

void TstGrid::SetColCount(int value) {
    value = std::max(value, 1);
    if (colCount_ == value) return;
    std::vector<QString> cells(std::size_t(rowCount_) * std::size_t(value));
    const int keep = std::min(colCount_, value);
    for (int r = 0; r < rowCount_; ++r)
        for (int c = 0; c < keep; ++c)
            cells[std::size_t(r) * value + c] = std::move(cells_[std::size_t(r) * colCount_ + c]);
    cells_ = std::move(cells);
    colCount_ = value;
    if (colWidths_.size() > std::size_t(value)) colWidths_.resize(std::size_t(value));
    col_ = std::min(col_, colCount_ - 1);
    update();
}

void TstGrid::SetFixedRows(int value) {
    value = std::clamp(value, 0, rowCount_ - 1);
    if (fixedRows_ == value) return;
    // The cursor and the scroll position start over below the fixed rows.
    fixedRows_ = value;
    row_ = fixedRows_;
    const bool moved = topRow_ != fixedRows_;
    topRow_ = fixedRows_;
    update();
    if (moved) emit OnTopLeftChanged(this);
}

void TstGrid::SetDefaultColWidth(int value) {
    if (defaultColWidth_ == value) return;
    defaultColWidth_ = value;
    update();
}

int TstGrid::ColWidth(int col) const {
    if (col >= 0 && std::size_t(col) < colWidths_.size() && colWidths_[std::size_t(col)] >= 0)
        return colWidths_[std::size_t(col)];
    return defaultColWidth_;
}

void TstGrid::SetColWidth(int col, int width) {
    if (col < 0 || col >= colCount_) return;
    if (colWidths_.size() <= std::size_t(col)) colWidths_.resize(std::size_t(col) + 1, -1);
    colWidths_[std::size_t(col)] = std::max(width, 0);
    update();
}

void TstGrid::SetRowHeight(int value) {
    value = std::max(value, 1);
    if (rowHeight_ == value) return;
    rowHeight_ = value;
    ClampTopRow();
    update();
}

void TstGrid::SetGridLineWidth(int value) {
    value = std::max(value, 0);
    if (lineWidth_ == value) return;
    lineWidth_ = value;
    ClampTopRow();
    update();
}

void TstGrid::SetFixedGridLines(bool value) {
    if (fixedLines_ == value) return;
    fixedLines_ = value;
    update();
}

void TstGrid::SetFixedLineColor(TColor value) {
    if (fixedLineColor_ == value) return;
    fixedLineColor_ = value;
    update();
}

void TstGrid::SetRowSelect(bool value) {
    if (rowSelect_ == value) return;
    rowSelect_ = value;
    update();
}

void TstGrid::SetColor(TColor value) {
    if (color_ == value) return;
    color_ = value;
    update();
}

QString TstGrid::Cells(int col, int row) const {
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return {};
    return cells_[std::size_t(row) * colCount_ + col];
}

void TstGrid::SetCells(int col, int row, const QString &text) {
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return;
    cells_[std::size_t(row) * colCount_ + col] = text;
    InvalidateCell(col, row);
}

void TstGrid::ClearRow(int row) {
    if (row < 0 || row >= rowCount_) return;
    for (int c = 0; c < colCount_; ++c)
        cells_[std::size_t(row) * colCount_ + c].clear();
    InvalidateRow(row);
}

void TstGrid::InvalidateCell(int col, int row) {
    const QRect r = CellRect(col, row);
    if (!r.isEmpty()) update(r.adjusted(0, 0, lineWidth_, lineWidth_));
}

void TstGrid::InvalidateRow(int row) {
    const QRect r = CellRect(0, row);
    if (!r.isEmpty()) update(QRect(0, r.top(), width(), Pitch()));
}

int TstGrid::ColLeft(int col) const {
    int x = 0;
    for (int c = 0; c < col; ++c)
        x += ColWidth(c) + lineWidth_;
    return x;
}

// The top of a row on screen; rows scrolled away above TopRow lie above 0.
int TstGrid::RowTop(int row) const {
    if (row < fixedRows_) return row * Pitch();
    return FixedExtent() + (row - topRow_) * Pitch();
}

QRect TstGrid::CellRect(int col, int row) const {
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return {};
    if (row >= fixedRows_ && row < topRow_) return {};
    const QRect r(ColLeft(col), RowTop(row), ColWidth(col), rowHeight_);
    if (r.top() >= height() || r.left() >= width()) return {};
    return r;
}

int TstGrid::Capacity() const {
    return std::max(0, (height() - FixedExtent()) / Pitch());
}

int TstGrid::VisibleRowCount() const {
    return std::min(Capacity(), rowCount_ - topRow_);
}

int TstGrid::MaxTopRow() const {
    return std::max(fixedRows_, rowCount_ - Capacity());
}

void TstGrid::SetTopRow(int row) {
    row = std::clamp(row, fixedRows_, MaxTopRow());
    if (topRow_ == row) return;
    topRow_ = row;
    update();
    emit OnTopLeftChanged(this);
}

void TstGrid::ClampTopRow() {
    const int row = std::clamp(topRow_, fixedRows_, MaxTopRow());
    if (row == topRow_) return;
    topRow_ = row;
    update();
    emit OnTopLeftChanged(this);
}

void TstGrid::ScrollInView(int row) {
    if (row < fixedRows_) return;
    if (row < topRow_)
        SetTopRow(row);
    else if (const int capacity = std::max(1, Capacity()); row >= topRow_ + capacity)
        SetTopRow(row - capacity + 1);
}

void TstGrid::MouseToCell(int x, int y, int &col, int &row) const {
    col = -1;
    row = -1;
    if (x >= 0) {
        int left = 0;
        for (int c = 0; c < colCount_; ++c) {
            left += ColWidth(c) + lineWidth_;
            if (x < left) {
                col = c;
                break;
            }
        }
    }
    if (y >= 0) {
        int r = y < FixedExtent() ? y / Pitch() : topRow_ + (y - FixedExtent()) / Pitch();
        if (r < rowCount_) row = r;
    }
}

bool TstGrid::CanSelect(int col, int row) {
    bool allowed = true;
    if (onSelectCell_) onSelectCell_(this, col, row, allowed);
    return allowed;
}

void TstGrid::MoveCurrent(int col, int row) {
    if (col == col_ && row == row_) return;
    if (rowSelect_) {
        InvalidateRow(row_);
        InvalidateRow(row);
    } else {
        InvalidateCell(col_, row_);
        InvalidateCell(col, row);
    }
    col_ = col;
    row_ = row;
    ScrollInView(row);
}

bool TstGrid::MoveTo(int col, int row, int dc, int dr) {
    while (col >= 0 && col < colCount_ && row >= fixedRows_ && row < rowCount_) {
        if (CanSelect(col, row)) {
            MoveCurrent(col, row);
            return true;
        }
        if (dc == 0 && dr == 0) return false;
        col += dc;
        row += dr;
    }
    return false;
}

void TstGrid::SetRow(int row) {
    if (row >= fixedRows_ && row < rowCount_ && CanSelect(col_, row)) MoveCurrent(col_, row);
}

void TstGrid::SetCol(int col) {
    if (col >= 0 && col < colCount_ && CanSelect(col, row_)) MoveCurrent(col, row_);
}

void TstGrid::SetSelection(int col, int row) {
    if (col >= 0 && col < colCount_ && row >= fixedRows_ && row < rowCount_) MoveCurrent(col, row);
}

void TstGrid::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    const QRect dirty = event->rect();
    painter.fillRect(dirty, ColorToQColor(color_));

    // Only the rows that meet the dirty rectangle are drawn.
    std::vector<int> rows;
    for (int r = 0; r < fixedRows_; ++r)
        if (RowTop(r) < dirty.bottom() + 1 && RowTop(r) + Pitch() > dirty.top()) rows.push_back(r);
    if (topRow_ < rowCount_ && dirty.bottom() >= FixedExtent()) {
        const int first = topRow_ + std::max(0, dirty.top() - FixedExtent()) / Pitch();
        const int last =
            std::min(rowCount_ - 1, topRow_ + (dirty.bottom() - FixedExtent()) / Pitch());
        for (int r = first; r <= last; ++r)
            rows.push_back(r);
    }

    if (fixedLines_ && lineWidth_ > 0 && fixedRows_ > 0) {
        const QColor line = ColorToQColor(fixedLineColor_);
        const int right = std::min(width(), ColLeft(colCount_));
        for (int r = 0; r < fixedRows_; ++r)
            painter.fillRect(0, RowTop(r) + rowHeight_, right, lineWidth_, line);
        for (int c = 0, x = 0; c < colCount_ && x < width(); x += ColWidth(c) + lineWidth_, ++c)
            painter.fillRect(x + ColWidth(c), 0, lineWidth_, FixedExtent(), line);
    }

    const bool focused = hasFocus();
    for (int r : rows) {
        const int top = RowTop(r);
        for (int c = 0, x = 0; c < colCount_ && x < width(); x += ColWidth(c) + lineWidth_, ++c) {
            const QRect cell(x, top, ColWidth(c), rowHeight_);
            if (!cell.adjusted(0, 0, lineWidth_, lineWidth_).intersects(dirty)) continue;
            TGridDrawState state = 0;
            if (r < fixedRows_) {
                state |= gdFixed;
            } else {
                if (r == row_ && (rowSelect_ || c == col_)) state |= gdSelected;
                if (focused && r == row_ && c == col_) state |= gdFocused;
            }
            if (onDrawCell_) {
                painter.save();
                painter.setFont(font());
                onDrawCell_(this, painter, c, r, cell, state);
                painter.restore();
            }
        }
    }
}

void TstGrid::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) return;
    setFocus(Qt::MouseFocusReason);
    int col = -1, row = -1;
    MouseToCell(event->position().toPoint().x(), event->position().toPoint().y(), col, row);
    if (col >= 0 && row >= fixedRows_) MoveTo(col, row, 0, 0);
}

void TstGrid::mouseMoveEvent(QMouseEvent *event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    int col = -1, row = -1;
    MouseToCell(event->position().toPoint().x(), event->position().toPoint().y(), col, row);
    if (col >= 0 && row >= fixedRows_ && (col != col_ || row != row_)) MoveTo(col, row, 0, 0);
}

void TstGrid::mouseDoubleClickEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) return;
    // The second press of a double click selects as the first did.
    mousePressEvent(event);
    emit OnDblClick(this);
}

void TstGrid::wheelEvent(QWheelEvent *event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0) {
        event->ignore();
        return;
    }
    // The wheel moves the current cell, one row per notch.
    for (int i = 0; i < std::abs(steps); ++i)
        MoveTo(col_, row_ + (steps < 0 ? 1 : -1), 0, steps < 0 ? 1 : -1);
    event->accept();
}

void TstGrid::keyPressEvent(QKeyEvent *event) {
    int key = event->key();
    const Qt::KeyboardModifiers shift = event->modifiers();
    if (onKeyDown_) onKeyDown_(this, key, shift);

    const int page = std::max(1, Capacity());
    const int lastRow = rowCount_ - 1;
    const bool ctrl = shift & Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Up:
        MoveTo(col_, row_ - 1, 0, -1);
        break;
    case Qt::Key_Down:
        MoveTo(col_, row_ + 1, 0, 1);
        break;
    case Qt::Key_Left:
        if (!rowSelect_) MoveTo(col_ - 1, row_, -1, 0);
        break;
    case Qt::Key_Right:
        if (!rowSelect_) MoveTo(col_ + 1, row_, 1, 0);
        break;
    case Qt::Key_PageUp:
        // The view moves by a page and the cursor with it.
        SetTopRow(topRow_ - page);
        MoveTo(col_, std::max(fixedRows_, row_ - page), 0, 1);
        break;
    case Qt::Key_PageDown:
        SetTopRow(topRow_ + page);
        MoveTo(col_, std::min(lastRow, row_ + page), 0, -1);
        break;
    case Qt::Key_Home:
        if (ctrl || rowSelect_)
            MoveTo(col_, fixedRows_, 0, 1);
        else
            MoveTo(0, row_, 1, 0);
        break;
    case Qt::Key_End:
        if (ctrl || rowSelect_)
            MoveTo(col_, lastRow, 0, -1);
        else
            MoveTo(colCount_ - 1, row_, -1, 0);
        break;
    default:
        break;
    }

    const QString text = event->text();
    if (!text.isEmpty() &&
        (text.front().isPrint() || text.front() == u'\r' || text.front() == u'\x1b')) {
        QChar ch = text.front();
        if (onKeyPress_) onKeyPress_(this, ch);
    }
    event->accept();
}

void TstGrid::focusInEvent(QFocusEvent *event) {
    QWidget::focusInEvent(event);
    rowSelect_ ? InvalidateRow(row_) : InvalidateCell(col_, row_);
}

void TstGrid::focusOutEvent(QFocusEvent *event) {
    QWidget::focusOutEvent(event);
    rowSelect_ ? InvalidateRow(row_) : InvalidateCell(col_, row_);
}

void TstGrid::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    ClampTopRow();
}
