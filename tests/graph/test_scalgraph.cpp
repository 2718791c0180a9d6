// The calibration graph as the user sees it: its plot and curves in pixels,
// the magnifier and the position box following the pointer, dragging a value
// with the mouse, and the frame animation.
#include "graph/graphcursors.h"
#include "graphtesting.h"
#include "support/testsupport.h"

#include <QBitmap>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

using namespace graphtesting;

namespace {

constexpr QRgb kYellow = 0xFFFF00;
constexpr QRgb kLime = 0x00FF00;

QPoint Centre(const TGraphRect &r) {
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

bool OpaqueAtHotSpot(const QCursor &cursor) {
    return cursor.mask().toImage().pixelIndex(cursor.hotSpot()) == 1;
}

template <typename F> std::string ErrorOf(F &&f) {
    try {
        f();
    } catch (const std::exception &e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(SCalGraph, PlotRectAndAxesFollowTheFont) {
    Host host; // 500 by 280, default font, no curves
    const QFontMetrics fm(host.graph->font());
    const int th = fm.height();
    const TGraphRect expected{
        std::max(fm.horizontalAdvance("[dBm]"), fm.horizontalAdvance("-140")) + 15 + 7,
        15 + th + th / 2 + 3, 500 - 15 - (fm.horizontalAdvance("[RAW]") + 3) - 3,
        280 - 15 - th - 7};
    const TGraphRect plot = host.graph->PlotRect();
    EXPECT_EQ(plot, expected);

    const QImage image = testsupport::Render(*host.graph);
    EXPECT_EQ(testsupport::Pixel(image, plot.Left - 1, plot.Bottom + 1), kYellow);
    EXPECT_EQ(testsupport::Pixel(image, plot.Left - 1, plot.Top + 1), kYellow);
    EXPECT_EQ(testsupport::Pixel(image, plot.Right - 1, plot.Bottom + 1), kYellow);
    EXPECT_EQ(testsupport::Pixel(image, plot.Right + 1, plot.Bottom + 1), 0u);
    EXPECT_EQ(testsupport::Pixel(image, plot.Left - 2, plot.Bottom + 1), 0u);
}

TEST(SCalGraph, CurvesAreDrawnInWholeDbTowardsZero) {
    Host host;
    auto *set = new TDBMSet;
    set->SetColor(clLime);
    host.graph->AddSet(set);
    const TGraphRect plot = host.graph->PlotRect();
    const double dbStep = plot.Height() / 140.0;
    const int x = plot.Left + 50; // between two grid lines
    const struct {
        double value;
        int row;
    } cases[] = {{-140.0, plot.Bottom},
                 {-139.9, int(plot.Bottom - dbStep)},
                 {-0.5, plot.Top},
                 {0.0, plot.Top}};
    for (const auto &c : cases) {
        EXPECT_EQ(FlatCurveRows(host, *set, c.value, x), std::vector<int>{c.row}) << c.value;
    }
}

TEST(SCalGraph, RangeErrorsAndRedrawsOnlyOnChange) {
    Host host;
    auto *set = new TDBMSet;
    host.graph->AddSet(set);
    EXPECT_EQ(ErrorOf([&] { set->SetDBM(256, -1.0); }), "DBM index out of range (256)");
    EXPECT_EQ(ErrorOf([&] { set->DBM(-1); }), "DBM index out of range (-1)");
    EXPECT_EQ(ErrorOf([&] { host.graph->SetZoom(0.5); }),
              "Value of Zoom must be greater or equal than 1");
    EXPECT_EQ(host.graph->Zoom(), 2.5);
    // Back down to no enlargement at all: the magnifier shows the 40 pixels
    // as they are.
    host.graph->SetZoom(4.0);
    EXPECT_EQ(ErrorOf([&] { host.graph->SetZoom(1.0); }), "no error");
    Hover(host.graph, Centre(host.graph->PlotRect()));
    EXPECT_EQ(MagnifierFrame(testsupport::Render(*host.graph)).width(), 40 + 3);
    LeaveGraph(host);
    host.graph->SetZoom(2.5);

    PaintCounter paints(host.graph);
    set->SetDBM(7, 0.0);
    host.graph->SetMargin(15);
    EXPECT_EQ(paints.rects.size(), 0u);
    set->SetDBM(7, -60.0);
    EXPECT_EQ(paints.rects.size(), 1u);
    EXPECT_EQ(set->DBM(7), -60.0);
}

TEST(SCalGraph, MagnifierEnlargesFortyPixelsAndKeepsToThePlot) {
    Host host;
    const TGraphRect plot = host.graph->PlotRect();
    const QPoint centre = Centre(plot);
    // A flat curve 8 pixels above the pointer.
    auto *set = new TDBMSet;
    set->SetColor(clLime);
    const double level = -140.0 + (plot.Bottom - (centre.y() - 8)) * 140.0 / plot.Height();
    for (int raw = 0; raw < 256; ++raw)
        set->SetDBM(raw, level);
    host.graph->AddSet(set);
    Hover(host.graph, centre);
    const QImage shown = testsupport::Render(*host.graph);
    // 40 pixels enlarged 2.5 times in a frame of one pixel around them.
    const QRect frame = MagnifierFrame(shown);
    EXPECT_EQ(frame.size(), QSize(103, 103));
    EXPECT_TRUE(frame.contains(centre));
    // In it the curve stands 2.5 times as far above the pointer.
    std::vector<int> rows;
    for (int y = frame.top(); y <= frame.bottom(); ++y)
        if (testsupport::Pixel(shown, frame.left() + 20, y) == kLime) rows.push_back(y);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_NEAR(centre.y() - rows[0], 20, 3);

    LeaveGraph(host);
    EXPECT_TRUE(MagnifierFrame(testsupport::Render(*host.graph)).isNull());
    // At the plot's left edge the frame stays where the enlarged 40 pixels
    // of the plot begin.
    Hover(host.graph, QPoint(plot.Left + 5, centre.y()));
    EXPECT_EQ(MagnifierFrame(testsupport::Render(*host.graph)).left(), plot.Left - 30 - 1);
}

TEST(SCalGraph, PositionBoxReadsTheNearerRaw) {
    Host host;
    const TGraphRect plot = host.graph->PlotRect();
    const int y = (plot.Top + plot.Bottom) / 2;
    const auto textAt = [&](int x) {
        LeaveGraph(host);
        Hover(host.graph, {x, y});
        return PositionBoxText(testsupport::Render(*host.graph));
    };
    const double perRaw = plot.Width() / 255.0; // pixels from one RAW value to the next
    // A pixel short of the middle between two RAW values reads the lower
    // one, a pixel past it the upper one: the box shows what it shows on
    // the column of that RAW value.
    int checked[2] = {0, 0};
    for (int x = (plot.Left + plot.Right) / 2 - 20; x < (plot.Left + plot.Right) / 2 + 20; ++x) {
        const double steps = (x - plot.Left) / perRaw;
        const double past = steps - std::floor(steps);
        if (past > 0.25 && past < 0.75) continue;
        const int lower = int(steps), nearer = past > 0.5 ? lower + 1 : lower;
        const auto shown = textAt(x);
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown, textAt(ColumnOf(plot, nearer))) << "at x " << x;
        EXPECT_NE(shown, textAt(ColumnOf(plot, nearer == lower ? lower + 1 : lower)));
        ++checked[past > 0.5];
    }
    EXPECT_GT(checked[0], 3);
    EXPECT_GT(checked[1], 3);
}

TEST(SCalGraph, PositionBoxFlipsNearTheBottomAndTheRightEdge) {
    Host host;
    const TGraphRect plot = host.graph->PlotRect();
    const QPoint mid = Centre(plot);
    const struct {
        QPoint approach, at; // the pointer pushes the magnifier to an edge, then moves on in it
        bool above, left;
    } cases[] = {{mid, mid, false, false},
                 {{mid.x(), plot.Bottom}, {mid.x(), plot.Bottom + 25}, true, false},
                 {{plot.Right, mid.y()}, {plot.Right + 25, mid.y()}, false, true}};
    for (const auto &c : cases) {
        LeaveGraph(host);
        Hover(host.graph, c.approach);
        Hover(host.graph, c.at);
        // The fill lies just inside the box's outline, 5 pixels off the
        // pointer.
        const QRect box = PositionBox(testsupport::Render(*host.graph));
        ASSERT_FALSE(box.isNull());
        const int dy = c.above ? c.at.y() - box.bottom() : box.top() - c.at.y();
        const int dx = c.left ? c.at.x() - box.right() : box.left() - c.at.x();
        EXPECT_TRUE(dy > 5 && dy <= 7) << dy;
        EXPECT_TRUE(dx > 5 && dx <= 7) << dx;
        EXPECT_LT(box.right(), host.graph->width());
        EXPECT_LT(box.bottom(), host.graph->height());
    }
}

TEST(SCalGraph, LeftPressDragsTheValueOfThePressedRaw) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor); // the screen cursor before the drag
    Host host;
    auto *set = new TDBMSet;
    host.graph->AddSet(set);
    EXPECT_EQ(host.graph->cursor().hotSpot(), QPoint(7, 7));
    EXPECT_FALSE(OpaqueAtHotSpot(host.graph->cursor())); // the cross-hair leaves its centre free
    const TGraphRect plot = host.graph->PlotRect();
    const struct {
        Qt::MouseButton button;
        QPoint at;
        bool drags, sets;
    } cases[] = {{Qt::RightButton, Centre(plot), false, false},
                 {Qt::LeftButton, {5, 5}, true, false},
                 {Qt::LeftButton, Centre(plot), true, true}};
    for (const auto &c : cases) {
        Recorder events(host.graph);
        Hover(host.graph, c.at);
        QTest::mousePress(host.graph, c.button, {}, c.at);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor, !c.drags);
        EXPECT_EQ(events.started, c.drags ? 1 : 0);
        if (c.drags) {
            const QCursor *screen = QGuiApplication::overrideCursor();
            EXPECT_EQ(screen->hotSpot(), QPoint(7, 7));
            EXPECT_TRUE(OpaqueAtHotSpot(*screen)); // the plus sign
        }
        ASSERT_EQ(events.changes.size(), c.sets ? 1u : 0u);
        if (c.sets) {
            // The pressed column's RAW value takes the level under the pointer.
            const int raw = events.changes[0].raw;
            const double below = events.changes[0].value;
            EXPECT_EQ(raw, std::lround((c.at.x() - plot.Left) * 255.0 / plot.Width()));
            EXPECT_EQ(set->DBM(raw), below);
            EXPECT_NEAR(below, -70.0, 1.0);
            // Sideways and down: the pointer is held on the pressed line and
            // the pressed RAW takes the new value.
            const QPoint moved = c.at + QPoint(15, 12);
            QTest::mouseMove(host.graph, moved);
            EXPECT_EQ(QCursor::pos(), host.graph->mapToGlobal(QPoint(c.at.x(), moved.y())));
            ASSERT_EQ(events.changes.size(), 2u);
            EXPECT_EQ(events.changes[1].raw, raw);
            EXPECT_LT(set->DBM(raw), below);
            // A drag step redraws only around the changed value, yet shows
            // exactly what a full redraw shows.
            const QImage shown = testsupport::Render(*host.graph);
            host.graph->Redraw();
            EXPECT_EQ(testsupport::Render(*host.graph), shown);
        }
        QTest::mouseRelease(host.graph, c.button, {}, c.at);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        // The pointer moves freely again.
        const QPoint free = c.at + QPoint(15, 12);
        QTest::mouseMove(host.graph, free);
        EXPECT_EQ(QCursor::pos(), host.graph->mapToGlobal(free));
        EXPECT_EQ(events.finished, c.drags ? 1 : 0);
        QObject::disconnect(host.graph, nullptr, nullptr, nullptr);
    }
    QGuiApplication::restoreOverrideCursor();
}

// A graph lower than the magnifier reads beyond the scale at the magnifier's
// edges; the value set stays within -140..0.
TEST(SCalGraph, DraggedValueStaysWithinTheScale) {
    Host host(500, 100);
    auto *set = new TDBMSet;
    set->SetDBM(50, -70.0);
    host.graph->AddSet(set);
    const TGraphRect plot = host.graph->PlotRect();
    ASSERT_LT(plot.Height(), TSCalGraph::kMagnifierSource);
    const int x = (plot.Left + plot.Right) / 2;
    const struct {
        int approach, at;
        double value;
    } cases[] = {{plot.Top + 1, host.graph->height() - 2, -140.0}, {plot.Bottom - 1, 0, 0.0}};
    for (const auto &c : cases) {
        Recorder events(host.graph);
        LeaveGraph(host);
        Hover(host.graph, {x, c.approach});
        Hover(host.graph, {x, c.at});
        ASSERT_FALSE(MagnifierFrame(testsupport::Render(*host.graph)).isNull());
        QTest::mousePress(host.graph, Qt::LeftButton, {}, {x, c.at});
        ASSERT_EQ(events.changes.size(), 1u);
        EXPECT_EQ(events.changes[0].value, c.value);
        EXPECT_EQ(set->DBM(events.changes[0].raw), c.value);
        QTest::mouseRelease(host.graph, Qt::LeftButton, {}, {x, c.at});
        QObject::disconnect(host.graph, nullptr, nullptr, nullptr);
    }
}

TEST(SCalGraph, AnimationPulsesTheFrameAndCopiesOnlyBoxAndFrame) {
    Host host;
    // The test ticks itself (the timer may already have run while showing).
    host.graph->findChild<QTimer *>("AnimationTimer")->stop();
    Hover(host.graph, Centre(host.graph->PlotRect()));
    const QImage first = testsupport::Render(*host.graph);
    const QRect frame = MagnifierFrame(first), box = PositionBox(first);
    ASSERT_FALSE(frame.isNull());
    PaintCounter paints(host.graph);
    std::vector<int> greys;
    for (int tick = 0; tick < 3; ++tick) {
        host.graph->AnimationTick();
        greys.push_back(
            qRed(testsupport::Render(*host.graph).pixel(frame.left(), frame.top() + 50)));
    }
    // The frame pulses between grey 150 and 252 in steps of 6.
    for (std::size_t i = 0; i < greys.size(); ++i) {
        EXPECT_TRUE(greys[i] >= 150 && greys[i] <= 252) << greys[i];
        if (i > 0) {
            EXPECT_EQ(std::abs(greys[i] - greys[i - 1]), 6);
        }
    }
    // Each tick repaints the frame and the box, and little else.
    ASSERT_FALSE(paints.rects.empty());
    const QRect copied = paints.rects.front();
    EXPECT_TRUE(copied.contains(frame.united(box)));
    EXPECT_LT(copied.width() * copied.height(),
              frame.width() * frame.height() + 4 * box.width() * box.height());
}
