#include "controls/myscrollbar.h"

#include "controls/stpanel.h"
#include "controls/stspeedbutton.h"

#include <QMouseEvent>

#include <algorithm>
#include <limits>

namespace {

// Sums, differences and products of positions are formed in 128 bits, so
// that no range of 64-bit values can overflow them.
using Wide = __int128;

std::int64_t Narrow(Wide v) {
    constexpr Wide lo = std::numeric_limits<std::int64_t>::min();
    constexpr Wide hi = std::numeric_limits<std::int64_t>::max();
    return std::int64_t(std::clamp(v, lo, hi));
}

constexpr TColor kTrackColor = 4210752;
constexpr TColor kDisabledColor = 2105376;
constexpr TColor kDisabledArrowColor = 6513507;

} // namespace

TmyScrollBar::TmyScrollBar(QWidget *parent) : QWidget(parent) {
    track_ = new TstPanel(this);
    track_->SetBevelStyle(TBevelStyle::bsGradientInner);
    track_->SetColor(kTrackColor);
    track_->SetBevelWidth(bevel_);
    track_->installEventFilter(this);

    arrow1_ = new TstSpeedButton(track_);
    arrow2_ = new TstSpeedButton(track_);
    for (TstSpeedButton *arrow : {arrow1_, arrow2_}) {
        arrow->SetFontColor(clLime);
        arrow->SetKindPercent(90);
        arrow->SetColor(kTrackColor);
        arrow->SetColorDown(kTrackColor);
        arrow->SetColorDisabled(kDisabledColor);
        arrow->SetFontColorDown(clLime);
        arrow->SetFontColorDisabled(kDisabledArrowColor);
        arrow->SetShadowOffset(100);
        arrow->SetBevelWidth(bevel_);
    }
    connect(arrow1_, &TstSpeedButton::OnAutoRepeat, this,
            [this] { SetDelta(-(length_ / 10) - 1); });
    connect(arrow2_, &TstSpeedButton::OnAutoRepeat, this, [this] { SetDelta(length_ / 10 + 1); });

    thumb_ = new TstSpeedButton(track_);
    thumb_->SetColor(kTrackColor);
    thumb_->SetColorDown(kTrackColor);
    thumb_->SetColorDisabled(kDisabledColor);
    thumb_->SetShadowOffset(100);
    thumb_->SetBevelWidth(bevel_);
    thumb_->SetKeepMouse(true);
    thumb_->installEventFilter(this);
    connect(thumb_, &TstSpeedButton::OnMouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                ThumbMouseDown(button, x, y);
            });
    connect(thumb_, &TstSpeedButton::OnMouseMove, this,
            [this](Qt::MouseButtons buttons, Qt::KeyboardModifiers, int x, int y) {
                ThumbMouseMove(buttons, x, y);
            });
    connect(
        thumb_, &TstSpeedButton::OnMouseUp, this,
        [this](Qt::MouseButton button, Qt::KeyboardModifiers, int, int) { ThumbMouseUp(button); });

    resize(200, 20);
    LayoutBar();
}

TmyScrollBar::~TmyScrollBar() = default;

void TmyScrollBar::SetKind(TScrollBarKind value) {
    if (kind_ == value) return;
    kind_ = value;
    LayoutBar();
    update();
}

void TmyScrollBar::SetBevel(int value) {
    value = std::max(value, 0);
    if (bevel_ == value) return;
    bevel_ = value;
    LayoutBar();
}

void TmyScrollBar::SetMin(std::int64_t value) {
    if (min_ == value) return;
    min_ = value;
    if (max_ < value) max_ = value;
    if (position_ < min_) position_ = min_;
    if (Wide(position_) + length_ > max_) length_ = Narrow(Wide(max_) - position_);
    LayoutThumb();
}

void TmyScrollBar::SetMax(std::int64_t value) {
    if (max_ == value) return;
    max_ = value;
    if (value < min_) min_ = value;
    if (Wide(position_) + length_ > max_) position_ = Narrow(Wide(max_) - length_);
    if (position_ < min_) {
        length_ = Narrow(Wide(max_) - min_);
        position_ = min_;
    }
    LayoutThumb();
}

void TmyScrollBar::SetLength(std::int64_t value) {
    if (length_ == value) return;
    Wide v = std::max<Wide>(value, 0);
    v = std::min<Wide>(v, Wide(max_) - min_);
    if (v + position_ > max_) position_ = Narrow(Wide(max_) - v);
    if (Narrow(v) != length_) {
        length_ = Narrow(v);
        LayoutThumb();
    }
}

bool TmyScrollBar::SetRange(std::int64_t min, std::int64_t max) {
    if (max < min) return false;
    min_ = min;
    max_ = max;
    length_ = Narrow(Wide(max) - min);
    position_ = min;
    LayoutThumb();
    return true;
}

void TmyScrollBar::SetPos(std::int64_t p) {
    if (p < min_) p = min_;
    if (Wide(p) + length_ > max_) p = Narrow(Wide(max_) - length_);
    if (p != position_) {
        position_ = p;
        LayoutThumb();
    }
}

void TmyScrollBar::SetPosX(std::int64_t p) {
    if (!thumbHeld_) SetPos(p);
}

void TmyScrollBar::SetDelta(std::int64_t d) {
    SetPos(Narrow(Wide(position_) + d));
}

TColor TmyScrollBar::Color() const {
    return arrow1_->Color();
}
TColor TmyScrollBar::DownColor() const {
    return arrow1_->ColorDown();
}
TColor TmyScrollBar::ColorArrow() const {
    return arrow1_->FontColor();
}
TColor TmyScrollBar::DownColorArrow() const {
    return arrow1_->FontColorDown();
}
TColor TmyScrollBar::ColorDisabled() const {
    return arrow1_->ColorDisabled();
}
TColor TmyScrollBar::ColorDisabledArrow() const {
    return arrow1_->FontColorDisabled();
}
int TmyScrollBar::ShadowOffset() const {
    return arrow1_->ShadowOffset();
}

void TmyScrollBar::SetColor(TColor value) {
    track_->SetColor(value);
    for (TstSpeedButton *b : {arrow1_, arrow2_, thumb_})
        b->SetColor(value);
}

void TmyScrollBar::SetDownColor(TColor value) {
    for (TstSpeedButton *b : {arrow1_, arrow2_, thumb_})
        b->SetColorDown(value);
}

void TmyScrollBar::SetColorArrow(TColor value) {
    arrow1_->SetFontColor(value);
    arrow2_->SetFontColor(value);
}

void TmyScrollBar::SetDownColorArrow(TColor value) {
    arrow1_->SetFontColorDown(value);
    arrow2_->SetFontColorDown(value);
}

void TmyScrollBar::SetColorDisabled(TColor value) {
    for (TstSpeedButton *b : {arrow1_, arrow2_, thumb_})
        b->SetColorDisabled(value);
}

void TmyScrollBar::SetColorDisabledArrow(TColor value) {
    arrow1_->SetFontColorDisabled(value);
    arrow2_->SetFontColorDisabled(value);
}

void TmyScrollBar::SetShadowOffset(int value) {
    track_->SetShadowOffset(value);
    for (TstSpeedButton *b : {arrow1_, arrow2_, thumb_})
        b->SetShadowOffset(value);
}

int TmyScrollBar::ArrowLength() const {
    return (Vertical() ? width() : height()) - 2 * bevel_;
}

int TmyScrollBar::TrackLength() const {
    return (Vertical() ? height() : width()) - 2 * bevel_ - 2 * ArrowLength();
}

void TmyScrollBar::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    LayoutBar();
}

void TmyScrollBar::LayoutBar() {
    if (PlaceParts()) LayoutThumb();
}

// Sizes the track to the bar and places the arrows; false for an empty bar.
bool TmyScrollBar::PlaceParts() {
    const int w = width();
    const int h = height();
    if (w == 0 || h == 0) return false;
    track_->setGeometry(0, 0, w, h);
    track_->SetBevelWidth(bevel_);
    for (TstSpeedButton *b : {arrow1_, arrow2_, thumb_})
        b->SetBevelWidth(bevel_);
    const int a = std::max(ArrowLength(), 0);
    if (Vertical()) {
        arrow1_->setGeometry(bevel_, bevel_, a, a);
        arrow1_->SetKind(stbkUpArrow);
        arrow2_->setGeometry(bevel_, h - a - bevel_, a, a);
        arrow2_->SetKind(stbkDownArrow);
    } else {
        arrow1_->setGeometry(bevel_, bevel_, a, a);
        arrow1_->SetKind(stbkLeftArrow);
        arrow2_->setGeometry(w - a - bevel_, bevel_, a, a);
        arrow2_->SetKind(stbkRightArrow);
    }
    return true;
}

void TmyScrollBar::LayoutThumb() {
    // A hidden bar hears of its new size only when shown; follow it now.
    if (track_->size() != size()) PlaceParts();
    if (min_ == max_ || (position_ == min_ && Wide(position_) + length_ == max_)) {
        thumb_->hide();
        arrow1_->setEnabled(false);
        arrow2_->setEnabled(false);
        return;
    }
    thumb_->show();
    arrow1_->setEnabled(true);
    arrow2_->setEnabled(true);

    const int a = ArrowLength();
    const Wide track = TrackLength();
    const Wide range = Wide(max_) - min_;
    const Wide start = track * (Wide(position_) - min_) / range;
    const Wide end = track * (Wide(position_) + length_ - min_) / range;
    int top = int(bevel_ + a + start);
    int length = int(end - start);
    const int minimum = Vertical() ? 2 * bevel_ + 10 : 2 * bevel_;
    if (length < minimum) {
        length = minimum;
        const int secondArrow = Vertical() ? arrow2_->y() : arrow2_->x();
        if (top + length > secondArrow) top = secondArrow - length;
    }
    if (Vertical())
        thumb_->setGeometry(bevel_, top, std::max(a, 0), length);
    else
        thumb_->setGeometry(top, bevel_, length, std::max(a, 0));

    repaint();
    emit OnPositionChange(this);
}

bool TmyScrollBar::eventFilter(QObject *watched, QEvent *event) {
    // A thumb hidden or disabled while held never sees its release.
    if (watched == thumb_ && (event->type() == QEvent::Hide ||
                              (event->type() == QEvent::EnabledChange && !thumb_->isEnabled())))
        thumbHeld_ = false;
    if (watched == track_ && (event->type() == QEvent::MouseButtonPress ||
                              event->type() == QEvent::MouseButtonDblClick)) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const Qt::MouseButton button = mouse->button();
        if (button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton)
            TrackPressed(mouse->position().toPoint());
    }
    return QWidget::eventFilter(watched, event);
}

// Pages by a whole visible part (and one more) toward the press.
void TmyScrollBar::TrackPressed(const QPoint &pos) {
    const int across = Vertical() ? pos.x() : pos.y();
    const int along = Vertical() ? pos.y() : pos.x();
    const int extent = Vertical() ? width() : height();
    if (across <= bevel_ || across >= extent - bevel_) return;
    const auto thumbStart = [this] { return Vertical() ? thumb_->y() : thumb_->x(); };
    const auto thumbEnd = [this] {
        return Vertical() ? thumb_->y() + thumb_->height() : thumb_->x() + thumb_->width();
    };
    if (along < thumbStart()) SetDelta(Narrow(-Wide(length_) - 1));
    if (along >= thumbEnd()) SetDelta(Narrow(Wide(length_) + 1));
}

void TmyScrollBar::ThumbMouseDown(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton) return;
    thumbHeld_ = true;
    grab_ = Vertical() ? y : x;
}

void TmyScrollBar::ThumbMouseMove(Qt::MouseButtons buttons, int x, int y) {
    const int along = Vertical() ? y : x;
    if (!(buttons & Qt::LeftButton)) {
        grab_ = along;
        return;
    }
    const Wide travel = TrackLength() - (Vertical() ? thumb_->height() : thumb_->width());
    // No room to move the thumb in: nothing to drag.
    if (travel <= 0) return;
    const Wide d = along - grab_;
    SetDelta(Narrow(d * (Wide(max_) - min_ - length_) / travel));
}

void TmyScrollBar::ThumbMouseUp(Qt::MouseButton button) {
    if (button == Qt::LeftButton) thumbHeld_ = false;
}
