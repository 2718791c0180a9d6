#include "graph/scalgraph.h"

#include "calibration/signalscale.h"
#include "controls/stcontrol.h"
#include "graph/graphcursors.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace {

using GraphPainter::Cut;
using GraphPainter::TextHeight;
using GraphPainter::TextOut;
using SignalScale::kDbmSpan;
using SignalScale::kRawMax;

constexpr int kAnimationStep = 6;
constexpr int kAnimationTurn = 100;
constexpr int kFrameGreyBase = 150;
const QColor kBoxOutline(0, 128, 0);

// Copies a picture into another of the same size without reallocating it.
void CopyPicture(const QImage &from, QImage &to) {
    if (to.size() == from.size() && to.format() == from.format() &&
        to.sizeInBytes() == from.sizeInBytes())
        std::memcpy(to.bits(), from.constBits(), static_cast<std::size_t>(from.sizeInBytes()));
    else
        to = from.copy();
}

// A picture of `size` logical pixels holds size times `ratio` device pixels
// and is drawn on in logical ones, so it is as sharp as the screen.
void SizePicture(QImage &picture, QSize size, qreal ratio) {
    const QSize pixels = (QSizeF(size) * ratio).toSize();
    if (picture.size() != pixels || picture.devicePixelRatio() != ratio) {
        picture = QImage(pixels, QImage::Format_RGB32);
        picture.setDevicePixelRatio(ratio);
    }
}

// The logical size of a picture.
QSize LogicalSize(const QImage &picture) {
    return picture.deviceIndependentSize().toSize();
}

// A logical rectangle of a picture in its device pixels.
QRectF DeviceRect(const QRectF &logical, const QImage &picture) {
    const qreal ratio = picture.devicePixelRatio();
    return QRectF(logical.topLeft() * ratio, logical.size() * ratio);
}

TGraphRect Moved(const TGraphRect &r, int dx, int dy) {
    return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

// Where the 40-pixel source starts along one axis: centred on the pointer
// when it is at least half the source from both plot edges, else against the
// nearer edge.
int SourceStart(int pointer, int low, int high) {
    constexpr int half = TSCalGraph::kMagnifierSource / 2;
    if (pointer - low >= half && high - pointer >= half) return pointer - half;
    if (pointer - low < high - pointer) return low;
    return high - TSCalGraph::kMagnifierSource;
}

} // namespace

TSCalGraph::TSCalGraph(QWidget *owner) : QWidget(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    resize(kDefaultWidth, kDefaultHeight);
    setFont(QFont(QStringLiteral("Arial"), 8));
    SetFontColor(this, clYellow);
    setCursor(GraphCursors::Cursor(GraphCursors::crCross1));

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("AnimationTimer"));
    timer_->setInterval(kAnimationInterval);
    connect(timer_, &QTimer::timeout, this, &TSCalGraph::AnimationTick);
    timer_->start();

    FullRedraw();
}

TSCalGraph::~TSCalGraph() {
    if (cursorOverridden_) QGuiApplication::restoreOverrideCursor();
}

void TSCalGraph::SetColor(TColor value) {
    SetProperty(color_, value);
}
void TSCalGraph::SetAxisColor(TColor value) {
    SetProperty(axisColor_, value);
}
void TSCalGraph::SetGridColor(TColor value) {
    SetProperty(gridColor_, value);
}
void TSCalGraph::SetLabelColor(TColor value) {
    SetProperty(labelColor_, value);
}
void TSCalGraph::SetCursorPosColor(TColor value) {
    SetProperty(cursorPosColor_, value);
}
void TSCalGraph::SetCursorPosFontColor(TColor value) {
    SetProperty(cursorPosFontColor_, value);
}
void TSCalGraph::SetMargin(int value) {
    SetProperty(margin_, value);
}
void TSCalGraph::SetLabelX(const QString &value) {
    SetProperty(labelX_, value);
}
void TSCalGraph::SetLabelY(const QString &value) {
    SetProperty(labelY_, value);
}

void TSCalGraph::SetZoom(double value) {
    if (value == zoom_) return;
    if (!(value >= 1.0))
        throw std::invalid_argument("Value of Zoom must be greater or equal than 1");
    zoom_ = value;
    Redraw();
}

void TSCalGraph::AddSet(TDBMSet *set) {
    if (!set) return;
    set->owner_ = this;
    sets_.emplace_back(set);
    Redraw();
}

TDBMSet *TSCalGraph::Set(int index) const {
    if (index < 0 || index >= SetCount()) return nullptr;
    return sets_[static_cast<std::size_t>(index)].get();
}

void TSCalGraph::BeginUpdate() {
    updatesEnabled_ = false;
}

void TSCalGraph::EndUpdate() {
    if (updatesEnabled_) return;
    updatesEnabled_ = true;
    Redraw();
}

void TSCalGraph::Redraw() {
    if (!updatesEnabled_) return;
    FullRedraw();
    repaint();
}

TGraphLook TSCalGraph::Look() const {
    TGraphLook look;
    look.Color = color_;
    look.AxisColor = axisColor_;
    look.GridColor = gridColor_;
    look.LabelColor = labelColor_;
    look.Margin = margin_;
    look.LabelX = labelX_;
    look.LabelY = labelY_;
    look.Font = font();
    look.FontColor = FontColor(this);
    return look;
}

void TSCalGraph::FullRedraw() {
    const QSize client(std::max(width(), 1), std::max(height(), 1));
    SizePicture(base_, client, devicePixelRatioF());
    SizePicture(composed_, client, devicePixelRatioF());

    const TGraphRect oldPlot = plot_;
    const QSize oldZoom = LogicalSize(zoomPicture_);
    QPainter p(&base_);
    const GraphPainter::TGraphLayout layout = GraphPainter::DrawGraph(p, client, Look(), sets_);
    p.end();
    plot_ = layout.Plot;
    plotOverhang_ = layout.Overhang;

    Compose();
    RebuildZoomPicture();
    // A magnifier placed on another plot or zoom would show the wrong place.
    if (magnifierActive_ && (plot_ != oldPlot || LogicalSize(zoomPicture_) != oldZoom))
        magnifierActive_ = false;
    if (magnifierActive_) {
        UpdateZoomRect();
        DrawOverlays(pointer_);
    }
    shownOverlay_ = OverlayRect(); // the repaint that follows shows all of it
}

void TSCalGraph::DrawPlot(QImage &picture, const TGraphRect &rect, int overhang, int raw) const {
    if (picture.isNull()) return;
    QPainter p(&picture);
    GraphPainter::DrawPlot(p, rect, overhang, Look(), sets_, raw);
}

void TSCalGraph::RebuildZoomPicture() {
    const int w = Cut(plot_.Width() * zoom_);
    const int h = Cut(plot_.Height() * zoom_);
    // Beyond what the raster engine can address the magnifier stays empty.
    constexpr int kLargest = 32767;
    const qreal ratio = devicePixelRatioF();
    if (w <= 0 || h <= 0 || w * ratio > kLargest || h * ratio > kLargest) {
        zoomPicture_ = QImage();
        return;
    }
    SizePicture(zoomPicture_, QSize(w, h), ratio);
    DrawPlot(zoomPicture_, {0, 0, w - 1, h - 1}, 0);
}

void TSCalGraph::RedrawPlots(int raw) {
    DrawPlot(base_, plot_, plotOverhang_, raw);
    if (!zoomPicture_.isNull()) {
        const QSize zoom = LogicalSize(zoomPicture_);
        DrawPlot(zoomPicture_, {0, 0, zoom.width() - 1, zoom.height() - 1}, 0, raw);
    }
}

void TSCalGraph::Compose() {
    CopyPicture(base_, composed_);
}

bool TSCalGraph::PlaceMagnifier(QPoint pointer) {
    if (magnifierActive_) {
        if (dest_.Contains(pointer)) return true;
        const auto delta = [](int at, int low, int high) {
            return at < low ? at - low : at > high ? at - high : 0;
        };
        const int dx = delta(pointer.x(), dest_.Left, dest_.Right);
        const int dy = delta(pointer.y(), dest_.Top, dest_.Bottom);
        source_ = Moved(source_, dx, dy);
        if (!plot_.Contains({source_.Left, source_.Top}) ||
            !plot_.Contains({source_.Right, source_.Bottom})) {
            magnifierActive_ = false;
            return false;
        }
        dest_ = Moved(dest_, dx, dy);
    } else {
        if (!plot_.Contains(pointer)) return false;
        const int left = SourceStart(pointer.x(), plot_.Left, plot_.Right);
        const int top = SourceStart(pointer.y(), plot_.Top, plot_.Bottom);
        source_ = {left, top, left + kMagnifierSource, top + kMagnifierSource};
        magnifierActive_ = true;
        const int z = Cut(zoom_ * kMagnifierSource);
        const int e = (z - kMagnifierSource) / 2;
        dest_ = {source_.Left - e, source_.Top - e, source_.Right + e, source_.Top - e + z};
    }
    UpdateZoomRect();
    frame_ = {dest_.Left - 1, dest_.Top - 1, dest_.Right + 2, dest_.Bottom + 2};
    return true;
}

void TSCalGraph::UpdateZoomRect() {
    if (plot_.Width() <= 0 || plot_.Height() <= 0) {
        zoomRect_ = {};
        return;
    }
    const QSize zoom = LogicalSize(zoomPicture_);
    const double sx = double(zoom.width()) / plot_.Width();
    const double sy = double(zoom.height()) / plot_.Height();
    zoomRect_ = {Cut((source_.Left - plot_.Left) * sx), Cut((source_.Top - plot_.Top) * sy),
                 Cut((source_.Right - plot_.Left) * sx), Cut((source_.Bottom - plot_.Top) * sy)};
}

bool TSCalGraph::ReadingAt(QPoint pointer, int &raw, double &dbm) const {
    if (!magnifierActive_ || zoomPicture_.isNull()) return false;
    const QSize zoom = LogicalSize(zoomPicture_);
    const double zx = zoom.width() / double(kRawMax);
    const double zy = zoom.height() / kDbmSpan;
    raw = Cut((0.5 * zx + zoomRect_.Left + (pointer.x() - dest_.Left)) / zx);
    // Rounding at the magnifier's edges can read a little beyond the scale;
    // a value is never set outside it.
    dbm = std::clamp(SignalScale::ValueAtDistance(pointer.y() + zoomRect_.Top - dest_.Top, zy),
                     SignalScale::kDbmMin, SignalScale::kDbmMax);
    return true;
}

void TSCalGraph::DrawOverlays(QPoint pointer) {
    if (!magnifierActive_) return;
    QPainter p(&composed_);
    if (!zoomPicture_.isNull())
        p.drawImage(QRect(dest_.Left, dest_.Top, dest_.Width() + 1, dest_.Height() + 1),
                    zoomPicture_,
                    DeviceRect(QRect(zoomRect_.Left, zoomRect_.Top, zoomRect_.Width() + 1,
                                     zoomRect_.Height() + 1),
                               zoomPicture_));
    DrawFrame(p);
    DrawPositionBox(p, pointer);
}

void TSCalGraph::DrawFrame(QPainter &painter) const {
    painter.setPen(frameColor_);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame_.Left, frame_.Top, frame_.Width() - 1, frame_.Height() - 1);
}

void TSCalGraph::DrawPositionBox(QPainter &painter, QPoint pointer) {
    int raw = 0;
    double dbm = 0.0;
    if (!ReadingAt(pointer, raw, dbm)) return;
    painter.setFont(font());
    const QFontMetrics fm = painter.fontMetrics();
    const QString a = SignalScale::GraphDbmText(dbm, labelY_);
    const QString b = SignalScale::GraphRawText(raw, labelX_);
    const int bw = std::max(fm.horizontalAdvance(a), fm.horizontalAdvance(b)) + 6;
    const int bh = TextHeight(fm);
    const int px = pointer.x();
    const int py = pointer.y();
    box_ = {px + 5, py + 5, px + 5 + bw, py + 2 * bh + 7};
    if (box_.Bottom > height()) box_ = {box_.Left, py - 2 * bh - 7, box_.Right, py - 5};
    if (box_.Right > width()) box_ = {px - 5 - bw, box_.Top, px - 5, box_.Bottom};

    const double radius = (bh / 2) / 2.0;
    painter.setPen(kBoxOutline);
    painter.setBrush(ColorToQColor(cursorPosColor_));
    // Above 100 % the round corners are smoothed, the outline on the pixels
    // the exact one covers.
    const bool smooth = PaintRatio(painter) > 1.0;
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    const qreal shift = smooth ? 0.5 : 0.0;
    painter.drawRoundedRect(
        QRectF(box_.Left + shift, box_.Top + shift, box_.Width() - 1, box_.Height() - 1), radius,
        radius);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    const QColor text = ColorToQColor(cursorPosFontColor_);
    TextOut(painter, box_.Right - 3 - fm.horizontalAdvance(a), box_.Top + 1, a, text);
    TextOut(painter, box_.Right - 3 - fm.horizontalAdvance(b), box_.Top + bh + 1, b, text);
}

void TSCalGraph::AnimationTick() {
    if (phase_ > kAnimationTurn) step_ = -kAnimationStep;
    if (phase_ <= 0) step_ = kAnimationStep;
    if (magnifierActive_) {
        const int grey = std::clamp(phase_ + kFrameGreyBase, 0, 255);
        frameColor_ = QColor(grey, grey, grey);
        QPainter p(&composed_);
        DrawFrame(p);
        DrawPositionBox(p, pointer_);
        p.end();
        repaint(frame_.ToQRect().united(box_.ToQRect()));
    }
    phase_ += step_;
}

void TSCalGraph::paintEvent(QPaintEvent *event) {
    // Moved to a screen of another scale: the pictures follow it.
    if (composed_.devicePixelRatio() != devicePixelRatioF()) FullRedraw();
    QPainter p(this);
    p.drawImage(QRectF(event->rect()), composed_, DeviceRect(event->rect(), composed_));
}

void TSCalGraph::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    if (parentWidget()) FullRedraw();
}

void TSCalGraph::enterEvent(QEnterEvent *event) {
    mouseInside_ = true;
    MouseMoveAt(event->position().toPoint());
}

void TSCalGraph::mouseMoveEvent(QMouseEvent *event) {
    QPoint pointer = event->position().toPoint();
    if (confined_) pointer = Confine(event->globalPosition().toPoint());
    // Putting the pointer back reports it once more where it already is.
    if (dragging_ && pointer == pointer_) return;
    MouseMoveAt(pointer);
}

void TSCalGraph::MouseMoveAt(QPoint pointer) {
    if (!mouseInside_) return;
    pointer_ = pointer;
    bool changed = false;
    if (PlaceMagnifier(pointer)) {
        changed = dragging_ && dragRaw_ >= 0 && SetValueAt(pointer, dragRaw_);
        Compose();
        DrawOverlays(pointer);
    } else {
        Compose();
    }
    if (changed) emit OnDBMChanged(this, sets_[static_cast<std::size_t>(dragSet_)].get(), dragRaw_);
    RepaintChanged(changed);
}

QRect TSCalGraph::OverlayRect() const {
    return magnifierActive_ ? frame_.ToQRect().united(box_.ToQRect()) : QRect();
}

void TSCalGraph::RepaintChanged(bool plotChanged) {
    // The overlays where they were and where they are now, and the plot if a
    // value changed: nothing else of the composed picture is new.
    QRect dirty = shownOverlay_.united(OverlayRect());
    if (plotChanged)
        dirty |=
            QRect(QPoint(plot_.Left, plot_.Top), QPoint(plot_.Right + plotOverhang_, plot_.Bottom));
    shownOverlay_ = OverlayRect();
    if (!dirty.isEmpty()) repaint(dirty);
}

bool TSCalGraph::SetValueAt(QPoint pointer, int raw) {
    int underRaw = 0;
    double dbm = 0.0;
    if (dragSet_ < 0 || dragSet_ >= SetCount() || !ReadingAt(pointer, underRaw, dbm)) return false;
    sets_[static_cast<std::size_t>(dragSet_)]->values_[static_cast<std::size_t>(raw)] = dbm;
    RedrawPlots(raw);
    return true;
}

void TSCalGraph::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) return;
    MouseDownAt(event->position().toPoint());
}

void TSCalGraph::MouseDownAt(QPoint pointer) {
    if (dragging_) EndDrag(); // its release never came
    QGuiApplication::setOverrideCursor(GraphCursors::Cursor(GraphCursors::crCross2));
    cursorOverridden_ = true;
    dragging_ = true;
    emit OnDragStarted(this);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (!dragging_) return;

    const int a = Cut((zoom_ * kMagnifierSource - kMagnifierSource) * 0.5);
    confine_ = QRect(mapToGlobal(QPoint(pointer.x(), plot_.Top - a)),
                     mapToGlobal(QPoint(pointer.x(), plot_.Bottom + a)));
    confined_ = true;
    Confine(mapToGlobal(pointer));
    pointer_ = pointer;

    if (sets_.empty() || !magnifierActive_) return;
    int raw = 0;
    double dbm = 0.0;
    if (!ReadingAt(pointer, raw, dbm) || raw < SignalScale::kRawMin || raw > kRawMax) return;
    dragRaw_ = raw;
    dragSet_ = 0;
    SetValueAt(pointer, raw);
    Compose();
    DrawOverlays(pointer);
    emit OnDBMChanged(this, sets_.front().get(), raw);
    RepaintChanged(true);
}

void TSCalGraph::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton && dragging_) EndDrag();
}

void TSCalGraph::EndDrag(bool letEventsRun) {
    dragging_ = false;
    if (cursorOverridden_) {
        QGuiApplication::restoreOverrideCursor();
        cursorOverridden_ = false;
    }
    if (letEventsRun) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    ReleaseConfinement();
    dragRaw_ = -1;
    dragSet_ = -1;
    emit OnDragFinished(this);
}

void TSCalGraph::leaveEvent(QEvent *event) {
    QWidget::leaveEvent(event);
    const bool wasDragging = dragging_;
    if (cursorOverridden_) {
        QGuiApplication::restoreOverrideCursor();
        cursorOverridden_ = false;
    }
    magnifierActive_ = false;
    mouseInside_ = false;
    Compose();
    ReleaseConfinement();
    dragging_ = false;
    dragRaw_ = -1;
    dragSet_ = -1;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (wasDragging) emit OnDragFinished(this);
    RepaintChanged(false);
}

void TSCalGraph::hideEvent(QHideEvent *event) {
    QWidget::hideEvent(event);
    // No release or leave reaches a hidden control: end what they would end.
    magnifierActive_ = false;
    mouseInside_ = false;
    Compose();
    shownOverlay_ = QRect(); // showing it again paints all of it
    if (dragging_) EndDrag(false);
}

QPoint TSCalGraph::Confine(QPoint global) {
    if (confined_) {
        const QPoint held(confine_.left(),
                          std::clamp(global.y(), confine_.top(), confine_.bottom()));
        if (held != global) {
            QCursor::setPos(held);
            global = held;
        }
    }
    return mapFromGlobal(global);
}

void TSCalGraph::ReleaseConfinement() {
    confined_ = false;
    confine_ = QRect();
}
