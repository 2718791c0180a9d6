// TDBMSet: one curve of a calibration graph, the 256 dBm values of a
// translation table (index = RAW value) with the colour and name it is drawn
// with. A curve added to a graph (TSCalGraph::AddSet) belongs to it: the graph
// frees it, and every real change of a value, the colour or the name redraws
// the graph.
#pragma once

#include "calibration/signalscale.h"
#include "controls/stglobal.h"

#include <QString>

#include <array>

class TSCalGraph;

class TDBMSet {
public:
    TDBMSet() = default;
    TDBMSet(const TDBMSet &) = delete;
    TDBMSet &operator=(const TDBMSet &) = delete;

    // The graph the curve was added to, or none.
    TSCalGraph *Owner() const { return owner_; }

    // The value at `raw`; a raw outside 0..255 throws std::out_of_range
    // "DBM index out of range (raw)" and leaves the curve unchanged. Writing
    // the stored value again does nothing; another value redraws the graph.
    double DBM(int raw) const;
    void SetDBM(int raw, double value);

    // Pen colour of the curve and text colour of its name in the legend.
    TColor Color() const { return color_; }
    void SetColor(TColor value);

    // The name in the legend.
    QString Name() const { return name_; }
    void SetName(const QString &value);

private:
    friend class TSCalGraph;
    static void CheckRaw(int raw);
    void Changed();

    TSCalGraph *owner_ = nullptr;
    std::array<double, SignalScale::kRawCount> values_{};
    TColor color_ = clBlack;
    QString name_;
};
