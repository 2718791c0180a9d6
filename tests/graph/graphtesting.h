// Helpers of the graph tests: a graph in a host window, the pointer moved as
// the user moves it, and the graph's notifications recorded.
#pragma once

#include "graph/scalgraph.h"
#include "support/testsupport.h"

#include <QCoreApplication>
#include <QCursor>
#include <QPaintEvent>
#include <QTest>
#include <QWidget>

#include <cmath>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace graphtesting {

// Puts the pointer outside every window, so that the first movement over a
// new window enters it (a window that appears under a resting pointer is not
// told where the pointer is).
inline void ParkPointer() {
    QCursor::setPos(-1000, -1000);
    QCoreApplication::processEvents();
}

// A graph of the given size in a shown window with room around it.
struct Host {
    QWidget window;
    TSCalGraph *graph = new TSCalGraph(&window);

    Host(int width = TSCalGraph::kDefaultWidth, int height = TSCalGraph::kDefaultHeight) {
        window.resize(width + 60, height + 60);
        graph->setGeometry(0, 0, width, height);
        ParkPointer();
        window.show();
        QCoreApplication::processEvents();
    }
};

// Moves the pointer without a button held (the platform reports enter,
// leave and movement).
inline void Hover(QWidget *widget, QPoint at) {
    QTest::mouseMove(widget, at);
    QCoreApplication::processEvents();
}

// Leaves the graph to the empty part of its window, so the magnifier is gone.
inline void LeaveGraph(Host &host) {
    Hover(&host.window, QPoint(host.window.width() - 5, host.window.height() - 5));
}

struct Change {
    int raw;
    double value;
};

// Every value the graph reports as set by the mouse, and its drag signals.
struct Recorder {
    std::vector<Change> changes;
    int started = 0;
    int finished = 0;

    explicit Recorder(TSCalGraph *graph) {
        QObject::connect(graph, &TSCalGraph::OnDBMChanged,
                         [this](TSCalGraph *, TDBMSet *set, int raw) {
                             changes.push_back({raw, set->DBM(raw)});
                         });
        QObject::connect(graph, &TSCalGraph::OnDragStarted, [this](TSCalGraph *) { ++started; });
        QObject::connect(graph, &TSCalGraph::OnDragFinished, [this](TSCalGraph *) { ++finished; });
    }
};

using testsupport::PaintCounter;

// Sets every value of `set` to `value` and answers the rows of the image
// column `x` in which the rendered graph shows the lime curve.
inline std::vector<int> FlatCurveRows(Host &host, TDBMSet &set, double value, int x) {
    host.graph->BeginUpdate();
    for (int raw = 0; raw < 256; ++raw)
        set.SetDBM(raw, value);
    host.graph->EndUpdate();
    const QImage image = testsupport::Render(*host.graph);
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y)
        if (testsupport::Pixel(image, x, y) == 0x00FF00) rows.push_back(y);
    return rows;
}

// The bounding rectangle of the pixels of `image` that `match`.
inline QRect FindPixels(const QImage &image, const std::function<bool(QRgb)> &match) {
    QRect found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (match(image.pixel(x, y))) found |= QRect(x, y, 1, 1);
    return found;
}

// The magnifier's frame in a rendered graph, from its top and left edges
// (the position box may cover the others): the first row and column that
// hold a long unbroken line of its grey. Antialiased white text has grey
// edges, but never in such a line. Empty when the magnifier is not shown.
inline QRect MagnifierFrame(const QImage &image) {
    const auto grey = [&](int x, int y) {
        const QRgb p = image.pixel(x, y);
        return qRed(p) >= 150 && qRed(p) <= 252 && qGreen(p) == qRed(p) && qBlue(p) == qRed(p);
    };
    const int line = 30 * int(image.devicePixelRatio());
    // The first and last index of the longest run, or nothing when it is short.
    const auto longest = [&](int count, auto at) -> std::optional<std::pair<int, int>> {
        int best = 0, end = 0;
        for (int i = 0, run = 0; i < count; ++i) {
            run = at(i) ? run + 1 : 0;
            if (run > best) best = run, end = i;
        }
        if (best < line) return std::nullopt;
        return std::pair(end - best + 1, end);
    };
    for (int y = 0; y < image.height(); ++y) {
        const auto across = longest(image.width(), [&](int x) { return grey(x, y); });
        if (!across) continue;
        for (int x = 0; x < image.width(); ++x)
            if (const auto down = longest(image.height(), [&](int y) { return grey(x, y); }))
                return QRect(QPoint(across->first, down->first),
                             QPoint(across->second, down->second));
    }
    return {};
}

// The position box in a rendered graph: its fill (RGB 0, 80, 0).
inline QRect PositionBox(const QImage &image) {
    return FindPixels(image, [](QRgb p) { return (p & 0xFFFFFF) == 0x005000; });
}

// What the position box reads, as its text pixels (brighter greens than the
// fill, but not the outline's) and their shades, relative to the box: equal
// for equal texts.
inline std::vector<std::pair<QPoint, int>> PositionBoxText(const QImage &image) {
    const QRect box = PositionBox(image);
    std::vector<std::pair<QPoint, int>> text;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qRed(p) == 0 && qBlue(p) == 0 && qGreen(p) > 0x50 && qGreen(p) != 0x80)
                text.emplace_back(QPoint(x, y) - box.topLeft(), qGreen(p));
        }
    return text;
}

// The pixel column that stands nearest to `raw` on the plot.
inline int ColumnOf(const TGraphRect &plot, int raw) {
    return plot.Left + int(std::lround(raw * plot.Width() / 255.0));
}

} // namespace graphtesting
