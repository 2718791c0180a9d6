#include "dialogs/pointlistmodel.h"

#include "calibration/frequencytext.h"
#include "controls/dialogparts.h"
#include "controls/stgrid.h"

#include <QPainter>

#include <algorithm>

using dialogparts::TextOut;
using dialogparts::TextWidth;

TPointListModel::TPointListModel(QObject *parent) : QObject(parent) {}

void TPointListModel::SetPoints(std::vector<std::uint64_t> hz) {
    if (!std::is_sorted(hz.begin(), hz.end())) std::sort(hz.begin(), hz.end());
    hz.erase(std::unique(hz.begin(), hz.end()), hz.end());
    points_ = std::move(hz);
    texts_.clear();
    texts_.reserve(points_.size());
    for (const std::uint64_t point : points_)
        texts_.push_back(FrequencyText(point));
    emit Changed();
}

std::uint64_t TPointListModel::At(int row) const {
    return row >= 0 && row < Count() ? points_[std::size_t(row)] : 0;
}

QString TPointListModel::Text(int row) const {
    return row >= 0 && row < Count() ? texts_[std::size_t(row)] : QString();
}

int TPointListModel::Find(std::uint64_t hz) const {
    const auto at = std::lower_bound(points_.begin(), points_.end(), hz);
    return at != points_.end() && *at == hz ? int(at - points_.begin()) : -1;
}

void FillPointList(TstGrid &grid, const TPointListModel &points) {
    grid.setUpdatesEnabled(false);
    grid.SetRowCount(1);
    grid.ClearRow(0);
    grid.SetRowCount(std::max(1, points.Count()));
    for (int row = 0; row < points.Count(); ++row)
        grid.SetCells(0, row, points.Text(row));
    grid.setUpdatesEnabled(true);
}

void DrawPointRow(QPainter &canvas, const QRect &rect, int row, const QString &frequency,
                  int labelShift) {
    const int right = rect.left() + rect.width(); // the first pixel after the cell
    TextOut(canvas, right - 2 - TextWidth(canvas, frequency), rect.top(), frequency);
    const QString label = QString::number(row + 1) + u'.';
    const int labelEnd = rect.left() + TextWidth(canvas, QStringLiteral("0000.")) + labelShift;
    TextOut(canvas, labelEnd - TextWidth(canvas, label), rect.top(), label);
}
