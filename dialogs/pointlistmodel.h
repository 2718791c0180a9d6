// TPointListModel: the frequency points of the calibration mode that the
// main window lists, as one sorted vector of hertz. The main window's list
// and the frequency-select dialog's list both draw from it (FillPointList on
// every Changed), so the table editor's Copy offers exactly the points the
// main window shows; the main window's list refresh is the only writer.
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <vector>

class QPainter;
class QRect;

class TPointListModel : public QObject {
    Q_OBJECT
public:
    explicit TPointListModel(QObject *parent = nullptr);

    // Replaces the points (sorted, each frequency once) and tells the lists.
    void SetPoints(std::vector<std::uint64_t> hz);
    void Clear() { SetPoints({}); }

    const std::vector<std::uint64_t> &Points() const { return points_; }
    int Count() const { return int(points_.size()); }
    // The point of a row; 0 for a row that holds none.
    std::uint64_t At(int row) const;
    // Its frequency text (FrequencyText, made once per change of the points).
    QString Text(int row) const;
    // The row of a point, or -1.
    int Find(std::uint64_t hz) const;

signals:
    void Changed();

private:
    std::vector<std::uint64_t> points_;
    std::vector<QString> texts_;
};

class TstGrid;

// Fills a point list: one row per point (one empty row for none), column 0
// holding the point's frequency text; the rows grow at once and repaint once.
void FillPointList(TstGrid &grid, const TPointListModel &points);

// Draws column 0 of a point row as both lists do: the frequency text
// right-aligned 2 pixels inside the cell's right edge and the row label "N."
// right-aligned so that it ends at the cell's left plus the width of "0000."
// plus `labelShift`. The painter's font and pen are used.
void DrawPointRow(QPainter &canvas, const QRect &rect, int row, const QString &frequency,
                  int labelShift);
