// TSCalGraph: the calibration graph. It draws translation tables (TDBMSet
// curves) as dBm over RAW on a fixed scale, RAW 0..255 across and -140..0 dBm
// up, and lets the user set a value with the mouse.
//
// Three off-screen pictures carry the drawing, so that painting only copies:
//   base      axes, ticks, labels, legend, grid and curves
//   composed  the base picture plus the overlays; the screen shows this one
//   zoom      grid and curves alone, drawn Zoom times larger, from which the
//             magnifier takes its content
// While the pointer is over the plot, a magnifier shows the 40 by 40 pixels
// around it enlarged, in a slowly pulsing grey frame, and a box beside the
// pointer reads the dBm and RAW under it. A left press starts a drag: the
// whole screen shows the "CROSS2" cursor, the pointer is held on the vertical
// line of the pressed x, and every movement sets the pressed RAW's value of
// the first curve to the dBm under the pointer, in tenths of a dB and never
// outside -140..0. Each value set that way is reported by OnDBMChanged.
//
// Rectangles are kept as the toolkit's (TGraphRect, graph/graphpainter.h):
// Right and Bottom lie one past the last pixel, so Width() is Right - Left.
#pragma once

#include "controls/stglobal.h"
#include "graph/dbmset.h"
#include "graph/graphpainter.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QTimer;

class TSCalGraph : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDefaultWidth = 500;
    static constexpr int kDefaultHeight = 280;
    static constexpr int kMagnifierSource = 40; // pixels of the plot under the magnifier
    static constexpr int kAnimationInterval = 50;

    // With a parent the graph is a child control and redraws on every resize.
    explicit TSCalGraph(QWidget *owner = nullptr);
    ~TSCalGraph() override;

    // Colours are toolkit colour numbers; a setter redraws only on a change.
    TColor Color() const { return color_; } // background of the control and the plot
    void SetColor(TColor value);
    TColor AxisColor() const { return axisColor_; }
    void SetAxisColor(TColor value);
    TColor GridColor() const { return gridColor_; }
    void SetGridColor(TColor value);
    TColor LabelColor() const { return labelColor_; } // the two axis titles
    void SetLabelColor(TColor value);
    TColor CursorPosColor() const { return cursorPosColor_; } // fill of the position box
    void SetCursorPosColor(TColor value);
    TColor CursorPosFontColor() const { return cursorPosFontColor_; }
    void SetCursorPosFontColor(TColor value);
    // Space kept free at the control's edges, pixels.
    int Margin() const { return margin_; }
    void SetMargin(int value);
    // Axis titles, shown in brackets.
    QString LabelX() const { return labelX_; }
    void SetLabelX(const QString &value);
    QString LabelY() const { return labelY_; }
    void SetLabelY(const QString &value);
    // Enlargement of the magnifier; below 1 (or NaN) throws
    // std::invalid_argument and keeps the old value.
    double Zoom() const { return zoom_; }
    void SetZoom(double value);
    // The font (QWidget::font) and its colour (the palette's WindowText) take
    // effect at the next redraw.

    // The graph takes ownership of the curve and redraws.
    void AddSet(TDBMSet *set);
    int SetCount() const { return static_cast<int>(sets_.size()); }
    TDBMSet *Set(int index) const;

    // Between BeginUpdate and EndUpdate changes of curves and properties
    // cause no redraw; EndUpdate does one.
    void BeginUpdate();
    void EndUpdate();
    // A full redraw and a repaint, unless updates are suspended.
    void Redraw();

    // Where the plot lies in the control, for whatever is placed over it.
    TGraphRect PlotRect() const { return plot_; }

    // One step of the frame animation, the handler of the 50 ms timer (the
    // child QTimer "AnimationTimer").
    void AnimationTick();

signals:
    // After the user set the value of `set` at `raw` with the mouse; the value
    // is stored and the pictures are redrawn.
    void OnDBMChanged(TSCalGraph *graph, TDBMSet *set, int raw);
    // At the left press that starts a drag and when it ends (release, the
    // pointer leaving the control, the control hidden).
    void OnDragStarted(TSCalGraph *graph);
    void OnDragFinished(TSCalGraph *graph);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    template <typename T> void SetProperty(T &field, const T &value) {
        if (field == value) return;
        field = value;
        Redraw();
    }

    void FullRedraw();
    // The properties the drawing uses.
    TGraphLook Look() const;
    // Grid and curves into the rectangle (L, T, R, B) of a picture; `overhang`
    // is how far right of R the picture may be painted (the curves' last half
    // step). With `raw` 0..255 only the columns of the curve segments that
    // meet that RAW are drawn again, which is all that one value changes.
    void DrawPlot(QImage &picture, const TGraphRect &rect, int overhang, int raw = -1) const;
    void RebuildZoomPicture();
    // Both plots after the value at `raw` changed.
    void RedrawPlots(int raw);
    void Compose();
    void DrawOverlays(QPoint pointer);
    void DrawFrame(QPainter &painter) const;
    void DrawPositionBox(QPainter &painter, QPoint pointer);
    bool PlaceMagnifier(QPoint pointer);
    void UpdateZoomRect();
    // The RAW and the dBm (limited to -140..0) under the pointer; false when
    // the magnifier is not active.
    bool ReadingAt(QPoint pointer, int &raw, double &dbm) const;

    // Frame and position box while the magnifier is active, else empty.
    QRect OverlayRect() const;
    // Repaints what the last pointer movement changed.
    void RepaintChanged(bool plotChanged);
    void MouseMoveAt(QPoint pointer);
    void MouseDownAt(QPoint pointer);
    void EndDrag(bool letEventsRun = true);
    // Sets the drag curve's value from the pointer; false when nothing was set.
    bool SetValueAt(QPoint pointer, int raw);
    QPoint Confine(QPoint pointer);
    void ReleaseConfinement();

    std::vector<std::unique_ptr<TDBMSet>> sets_;

    TColor color_ = clBlack;
    TColor axisColor_ = clYellow;
    TColor gridColor_ = RGBColor(0, 128, 0);
    TColor labelColor_ = clWhite;
    TColor cursorPosColor_ = RGBColor(0, 80, 0);
    TColor cursorPosFontColor_ = RGBColor(0, 192, 0);
    int margin_ = 15;
    QString labelX_ = QStringLiteral("RAW");
    QString labelY_ = QStringLiteral("dBm");
    double zoom_ = 2.5;

    bool updatesEnabled_ = true;
    bool constructed_ = false;

    QImage base_;
    QImage composed_;
    QImage zoomPicture_;
    TGraphRect plot_;
    int plotOverhang_ = 0;

    bool mouseInside_ = false;
    bool magnifierActive_ = false;
    bool dragging_ = false;
    bool cursorOverridden_ = false;
    int dragRaw_ = -1;
    int dragSet_ = -1;
    QPoint pointer_;
    bool confined_ = false;
    QRect confine_;

    TGraphRect source_;
    TGraphRect dest_;
    TGraphRect zoomRect_;
    TGraphRect frame_;
    TGraphRect box_;

    int phase_ = 0;
    int step_ = 1;
    QColor frameColor_ = QColor(150, 150, 150);
    QRect shownOverlay_; // the overlays on the screen
    QTimer *timer_ = nullptr;
};
