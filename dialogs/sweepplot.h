// TSweepPlot: the RAW readings of a sweep over the level, drawn as they come.
#pragma once

#include <QWidget>

#include <vector>

class TSweepPlot : public QWidget {
    Q_OBJECT
public:
    explicit TSweepPlot(QWidget *parent = nullptr);

    // Clears the plot and sets the level axis.
    void Reset(double fromDbm, double toDbm);
    void AddPoint(double dbm, int raw);
    int PointCount() const { return int(points_.size()); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect PlotArea() const;
    QPoint Place(double dbm, int raw) const;

    double from_ = -130.0, to_ = -20.0;
    std::vector<std::pair<double, int>> points_;
};
