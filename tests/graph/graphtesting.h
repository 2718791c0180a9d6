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

} // namespace graphtesting
