#include "controls/stspeedbutton.h"

#include <QBitmap>
#include <QEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QShortcutEvent>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace {

// The font's size in points as the toolkit rounds it: a pixel height is
// converted at 96 dots per inch, halves away from zero.
int FontPoints(const QFont &font) {
    if (font.pointSizeF() > 0) return int(std::lround(font.pointSizeF()));
    if (font.pixelSize() > 0) return int(std::lround(font.pixelSize() * 72.0 / 96.0));
    return 0;
}

} // namespace

TstSpeedButton::TstSpeedButton(QWidget *parent) : QWidget(parent) {
    resize(22, 23);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    repeatTimer_ = new QTimer(this);
    repeatTimer_->setObjectName(QStringLiteral("RepeatTimer"));
    repeatTimer_->setTimerType(Qt::PreciseTimer);
    connect(repeatTimer_, &QTimer::timeout, this, &TstSpeedButton::TimerTick);
}

TstSpeedButton::~TstSpeedButton() = default;

// Every change drops the cached face; whether it shows at once is the
// caller's choice (some properties only matter in other states).
void TstSpeedButton::Changed(bool repaintNow) {
    cacheValid_ = false;
    if (repaintNow)
        repaint();
    else
        update();
}

void TstSpeedButton::SetState(TButtonState value) {
    if (state_ != value) {
        state_ = value;
        cacheValid_ = false;
    }
}

void TstSpeedButton::SetCaption(const QString &value) {
    if (caption_ == value) return;
    caption_ = value;
    UpdateShortcut();
    Changed();
}

void TstSpeedButton::SetColor(TColor value) {
    if (color_ == value) return;
    color_ = value;
    Changed();
}

void TstSpeedButton::SetColorDown(TColor value) {
    if (colorDown_ == value) return;
    colorDown_ = value;
    cacheValid_ = false;
    if (state_ == bsDown || state_ == bsExclusive) Changed();
}

void TstSpeedButton::SetColorDisabled(TColor value) {
    if (colorDisabled_ == value) return;
    colorDisabled_ = value;
    cacheValid_ = false;
    if (state_ == bsDisabled) Changed();
}

void TstSpeedButton::SetFontColor(TColor value) {
    if (fontColor_ == value) return;
    fontColor_ = value;
    Changed();
}

void TstSpeedButton::SetFontColorDown(TColor value) {
    if (fontColorDown_ == value) return;
    fontColorDown_ = value;
    cacheValid_ = false;
    if (state_ == bsDown || state_ == bsExclusive) Changed();
}

void TstSpeedButton::SetFontColorDisabled(TColor value) {
    if (fontColorDisabled_ == value) return;
    fontColorDisabled_ = value;
    cacheValid_ = false;
    if (state_ == bsDisabled) Changed();
}

void TstSpeedButton::SetBorderWidth(int value) {
    value = std::max(value, 0);
    if (borderWidth_ == value) return;
    borderWidth_ = value;
    Changed();
}

void TstSpeedButton::SetBorderColor(TColor value) {
    if (borderColor_ == value) return;
    borderColor_ = value;
    Changed();
}

void TstSpeedButton::SetBevelWidth(int value) {
    value = std::max(value, 0);
    if (bevelWidth_ == value) return;
    bevelWidth_ = value;
    Changed();
}

void TstSpeedButton::SetShadowOffset(int value) {
    value = std::clamp(value, 0, 360);
    if (shadowOffset_ == value) return;
    shadowOffset_ = value;
    Changed();
}

void TstSpeedButton::SetAlignment(TAlignment value) {
    if (alignment_ == value) return;
    alignment_ = value;
    Changed();
}

void TstSpeedButton::SetLayout(TTextLayout value) {
    if (layout_ == value) return;
    layout_ = value;
    Changed();
}

void TstSpeedButton::SetAlignKind(TAlignment value) {
    if (alignKind_ == value) return;
    alignKind_ = value;
    Changed();
}

void TstSpeedButton::SetIndent(int value) {
    if (indent_ == value) return;
    indent_ = value;
    Changed();
}

void TstSpeedButton::SetAbbreviate(bool value) {
    if (abbreviate_ == value) return;
    abbreviate_ = value;
    Changed();
}

void TstSpeedButton::SetKind(TSTButtonKind value) {
    if (kind_ == value) return;
    kind_ = value;
    Changed();
}

void TstSpeedButton::SetKindPercent(int value) {
    value = std::clamp(value, 0, 100);
    if (kindPercent_ == value) return;
    kindPercent_ = value;
    Changed();
}

void TstSpeedButton::SetShowKind(bool value) {
    if (showKind_ == value) return;
    showKind_ = value;
    Changed();
}

void TstSpeedButton::SetBitmap(const QImage &value) {
    if (bitmap_ == value) return;
    bitmap_ = value;
    maskedBitmap_ = QPixmap();
    if (!bitmap_.isNull()) {
        const QImage rgb = bitmap_.convertToFormat(QImage::Format_RGB32);
        const QRgb transparent = rgb.pixel(0, rgb.height() - 1);
        maskedBitmap_ = QPixmap::fromImage(rgb);
        maskedBitmap_.setMask(
            QBitmap::fromImage(rgb.createMaskFromColor(transparent, Qt::MaskInColor)));
    }
    Changed();
}

void TstSpeedButton::SetGroupIndex(int value) {
    if (groupIndex_ == value) return;
    groupIndex_ = value;
    UpdateExclusive();
}

void TstSpeedButton::SetDown(bool value) {
    if (groupIndex_ == 0) value = false;
    if (value == down_) return;
    if (down_ && !allowAllUp_) return;
    down_ = value;
    if (value) {
        SetState(bsExclusive);
        Changed();
        UpdateExclusive();
    } else {
        SetState(bsUp);
        Changed(true);
    }
}

void TstSpeedButton::SetAllowAllUp(bool value) {
    if (allowAllUp_ == value) return;
    allowAllUp_ = value;
    UpdateExclusive();
}

void TstSpeedButton::SetKeepMouse(bool value) {
    if (keepMouse_ == value) return;
    keepMouse_ = value;
    Changed();
}

void TstSpeedButton::SetSpeed(int value) {
    if (speed_ == value) return;
    speed_ = value;
    repeatTimer_->setInterval(std::max(speed_, 1));
    Changed();
}

void TstSpeedButton::SetDelay(int value) {
    if (delay_ == value) return;
    delay_ = value;
    Changed();
}

void TstSpeedButton::SetClock(std::function<std::int64_t()> clock) {
    clock_ = std::move(clock);
}

std::int64_t TstSpeedButton::Now() const {
    if (clock_) return clock_();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int TstSpeedButton::AdjustBevel() const {
    const int fit = std::min(width(), height()) / 2 - borderWidth_;
    return std::max(0, std::min(bevelWidth_, fit));
}

void TstSpeedButton::Click() {
    emit OnClick();
}

// Tells the other buttons of the group, all children of the same parent.
void TstSpeedButton::UpdateExclusive() {
    if (groupIndex_ == 0 || !parentWidget()) return;
    const auto siblings =
        parentWidget()->findChildren<TstSpeedButton *>(QString(), Qt::FindDirectChildrenOnly);
    for (TstSpeedButton *button : siblings)
        button->ButtonPressed(groupIndex_, this);
}

void TstSpeedButton::ButtonPressed(int groupIndex, TstSpeedButton *sender) {
    if (groupIndex != groupIndex_ || sender == this) return;
    if (sender->down_ && down_) {
        down_ = false;
        SetState(bsUp);
        Changed();
    }
    allowAllUp_ = sender->allowAllUp_;
}

void TstSpeedButton::UpdateShortcut() {
    if (shortcutId_ != 0) {
        releaseShortcut(shortcutId_);
        shortcutId_ = 0;
    }
    const QKeySequence mnemonic = QKeySequence::mnemonic(caption_);
    if (!mnemonic.isEmpty()) shortcutId_ = grabShortcut(mnemonic);
}

bool TstSpeedButton::event(QEvent *event) {
    if (event->type() == QEvent::Shortcut) {
        auto *shortcut = static_cast<QShortcutEvent *>(event);
        if (shortcut->shortcutId() == shortcutId_ && isEnabled() && isVisible() &&
            (!parentWidget() || parentWidget()->isVisible())) {
            Click();
            return true;
        }
    }
    return QWidget::event(event);
}

bool TstSpeedButton::Inside(const QPoint &pos) const {
    return pos.x() >= 0 && pos.x() < width() && pos.y() >= 0 && pos.y() <= height();
}

void TstSpeedButton::Press(const QPoint &pos) {
    Q_UNUSED(pos);
    if (!down_) {
        SetState(bsDown);
        Changed();
    }
    emit OnAutoRepeat();
    repeatTimer_->start(std::max(speed_, 1));
    pressTime_ = Now();
    pressing_ = true;
}

void TstSpeedButton::mousePressEvent(QMouseEvent *event) {
    const QPoint pos = event->position().toPoint();
    emit OnMouseDown(event->button(), event->modifiers(), pos.x(), pos.y());
    if (event->button() == Qt::LeftButton && isEnabled()) Press(pos);
}

void TstSpeedButton::mouseDoubleClickEvent(QMouseEvent *event) {
    mousePressEvent(event);
    if (event->button() == Qt::LeftButton && down_) emit OnDblClick();
}

void TstSpeedButton::mouseMoveEvent(QMouseEvent *event) {
    const QPoint pos = event->position().toPoint();
    emit OnMouseMove(event->buttons(), event->modifiers(), pos.x(), pos.y());
    if (!pressing_) return;
    TButtonState next;
    if (down_)
        next = bsExclusive;
    else if (keepMouse_ || Inside(pos))
        next = bsDown;
    else
        next = bsUp;
    if (next != state_) {
        SetState(next);
        Changed();
    }
}

void TstSpeedButton::mouseReleaseEvent(QMouseEvent *event) {
    const QPoint pos = event->position().toPoint();
    emit OnMouseUp(event->button(), event->modifiers(), pos.x(), pos.y());
    if (event->button() != Qt::LeftButton || (event->buttons() & Qt::LeftButton)) return;
    repeatTimer_->stop();
    if (pressing_) {
        pressing_ = false;
        if (keepMouse_) Changed();
    }
    const bool inside = Inside(pos);
    if (groupIndex_ == 0) {
        // Outside, the last move has normally shown the button up already.
        const bool wasUp = state_ == bsUp;
        SetState(bsUp);
        if (inside || !wasUp) Changed();
    } else if (inside) {
        SetDown(!down_);
        if (down_) Changed(true);
    } else {
        // Without a move after the press the state would still be down.
        SetState(down_ ? bsExclusive : bsUp);
        Changed();
    }
    if (inside) Click();
}

void TstSpeedButton::TimerTick() {
    if (Now() - pressTime_ >= delay_ && state_ == bsDown) emit OnAutoRepeat();
}

// A press whose release will never come -- the button was disabled or hidden
// while held -- is dropped with its repeat timer.
void TstSpeedButton::ForgetPress() {
    if (!pressing_) return;
    pressing_ = false;
    repeatTimer_->stop();
}

void TstSpeedButton::hideEvent(QHideEvent *event) {
    if (pressing_) {
        ForgetPress();
        SetState(down_ ? bsExclusive : bsUp);
    }
    QWidget::hideEvent(event);
}

void TstSpeedButton::changeEvent(QEvent *event) {
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (!isEnabled()) ForgetPress();
        Changed(true);
        break;
    case QEvent::FontChange:
    case QEvent::PaletteChange:
        Changed();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void TstSpeedButton::resizeEvent(QResizeEvent *event) {
    cacheValid_ = false;
    if (kind_ != stbkNone) update();
    QWidget::resizeEvent(event);
}

void TstSpeedButton::paintEvent(QPaintEvent *) {
    if (isEnabled()) {
        if (state_ == bsDisabled) SetState(down_ && groupIndex_ != 0 ? bsExclusive : bsUp);
    } else {
        SetState(bsDisabled);
        ForgetPress();
    }
    QPainter painter(this);
    // The face at the resolution of what is painted on (the screen, or a
    // picture the button is rendered into).
    const qreal ratio = PaintRatio(painter);
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (!cacheValid_ || cache_.size() != pixels || cache_.devicePixelRatio() != ratio) {
        cache_ = QPixmap(pixels);
        cache_.setDevicePixelRatio(ratio);
        QPainter face(&cache_);
        Render(face);
        cacheValid_ = true;
    }
    painter.drawPixmap(0, 0, cache_);
}

void TstSpeedButton::Render(QPainter &painter) {
    const int w = width();
    const int h = height();
    TColor face = color_;
    int sign = 1;
    QColor textColor = ColorToQColor(fontColor_);
    switch (state_) {
    case bsUp:
        break;
    case bsDown:
    case bsExclusive:
        face = colorDown_;
        sign = -1;
        textColor = ColorToQColor(fontColorDown_);
        break;
    case bsDisabled:
        face = colorDisabled_;
        sign = down_ ? -1 : 1;
        textColor = ColorToQColor(fontColorDisabled_);
        break;
    }
    const QColor faceColor = ColorToQColor(face);
    painter.fillRect(0, 0, w, h, faceColor);

    const int bw = borderWidth_;
    if (bw > 0) {
        const QColor border = ColorToQColor(borderColor_);
        painter.fillRect(0, 0, w, std::min(bw, h), border);
        painter.fillRect(0, std::max(h - bw, 0), w, std::min(bw, h), border);
        painter.fillRect(0, 0, std::min(bw, w), h, border);
        painter.fillRect(std::max(w - bw, 0), 0, std::min(bw, w), h, border);
    }

    const QRect bevelRect(bw, bw, w - 2 * bw, h - 2 * bw);
    const int b = AdjustBevel();
    const bool soft = down_ || state_ == bsDown;
    // The pressed look's lower-right edge is one shade for all rings.
    const QColor softLower = GetColorShadow(faceColor, shadowOffset_ / 3, sign * b, b - 1);
    DrawBevelRings(painter, bevelRect, b, 0, [&](int i, int n) {
        return std::pair(GetColorShadow(faceColor, shadowOffset_, sign * n, n - i),
                         soft ? softLower
                              : GetColorShadow(faceColor, shadowOffset_, -sign * n, n - i));
    });

    const bool pressedLook = state_ == bsDown || state_ == bsExclusive;
    if (!maskedBitmap_.isNull()) {
        const int x = std::max(0, (w - maskedBitmap_.width()) / 2);
        const int y = std::max(0, (h - maskedBitmap_.height()) / 2);
        painter.drawPixmap(x, y, maskedBitmap_);
        return;
    }

    painter.setFont(font());
    painter.setPen(textColor);
    const QFontMetrics metrics(font());
    if (kind_ != stbkNone) {
        int x = DrawKind(painter, textColor);
        if (caption_.isEmpty()) return;
        const QSize text = metrics.size(Qt::TextSingleLine | Qt::TextShowMnemonic, caption_);
        const int d = pressedLook ? 1 : 0;
        if (alignment_ == TAlignment::taLeftJustify) x -= text.width();
        x += d;
        const int y = (h - text.height()) / 2 + d;
        painter.drawText(QRect(x, y, text.width(), text.height()),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic,
                         caption_);
        return;
    }

    QRect textRect = bevelRect.adjusted(b, b, -b, -b);
    if (textRect.isEmpty() || caption_.isEmpty()) return;
    if (pressedLook || (state_ == bsDisabled && down_))
        textRect.adjust(bevelWidth_, bevelWidth_ / 2, 0, 0);
    const int flags =
        AlignmentFlags(alignment_, layout_) | Qt::TextSingleLine | Qt::TextShowMnemonic;
    QString text = caption_;
    if (abbreviate_)
        text = metrics.elidedText(caption_, Qt::ElideRight, textRect.width(), Qt::TextShowMnemonic);
    painter.setClipRect(textRect);
    painter.drawText(textRect, flags, text);
}

// Sets the glyph's pixels and returns where a caption beside it starts.
int TstSpeedButton::DrawKind(QPainter &painter, const QColor &textColor) {
    const int w = width();
    const int ht = height();
    int s = std::min(w - 2 * indent_, ht) - 2 * borderWidth_ - 2 * bevelWidth_;
    if (kindPercent_ != 0)
        s = s * kindPercent_ / 100;
    else
        s = std::min(s, std::abs(FontPoints(font())));
    if (s <= 0) return 0;
    const int h = s / 2;
    int x0, y0;
    if (alignKind_ == TAlignment::taLeftJustify)
        x0 = borderWidth_ + bevelWidth_ + indent_;
    else if (alignKind_ == TAlignment::taRightJustify)
        x0 = w - s - borderWidth_ - bevelWidth_ - indent_;
    else
        x0 = w / 2 - h;
    if (layout_ == TTextLayout::tlTop)
        y0 = borderWidth_ + bevelWidth_;
    else if (layout_ == TTextLayout::tlBottom)
        y0 = ht - s - borderWidth_ - bevelWidth_;
    else
        y0 = ht / 2 - h;
    if (state_ == bsDown || state_ == bsExclusive) {
        ++x0;
        ++y0;
    }

    int textPos = 0;
    if (alignment_ == TAlignment::taLeftJustify)
        textPos = kind_ == stbkShortLeftArrow ? h + x0 : x0;
    else if (alignment_ == TAlignment::taRightJustify)
        textPos = kind_ == stbkShortRightArrow ? h + x0 + 1 : s + x0;

    if (!showKind_) return textPos;

    if (PaintRatio(painter) > 1.0)
        DrawKindShapes(painter, textColor, s, x0, y0);
    else
        DrawKindPixels(painter, textColor, s, x0, y0);
    return textPos;
}

// At 100 % the glyphs are sets of single pixels.
void TstSpeedButton::DrawKindPixels(QPainter &painter, const QColor &textColor, int s, int x0,
                                    int y0) const {
    const int h = s / 2;
    std::vector<QPoint> points;
    points.reserve(std::size_t(s) * std::size_t(s) * 2);
    auto column = [&](int x, int top, int bottom) {
        for (int y = top; y <= bottom; ++y)
            points.emplace_back(x, y);
    };
    auto row = [&](int y, int left, int right) {
        for (int x = left; x <= right; ++x)
            points.emplace_back(x, y);
    };
    switch (kind_) {
    case stbkNone:
        break;
    case stbkLeftArrow:
        for (int k = 0; k < s; ++k)
            column(x0 + s - 1 - k, y0 + k / 2, y0 + s - 1 - k / 2);
        break;
    case stbkRightArrow:
        for (int k = 0; k < s; ++k)
            column(x0 + k, y0 + k / 2, y0 + s - 1 - k / 2);
        break;
    case stbkUpArrow:
        for (int k = 0; k <= s / 2; ++k)
            row(y0 + s - s / 4 - 1 - k, x0 + k, x0 + s - 1 - k);
        break;
    case stbkDownArrow:
        for (int k = 0; k <= s / 2; ++k)
            row(y0 + s / 4 + k, x0 + k, x0 + s - 1 - k);
        break;
    case stbkStop:
        for (int k = 0; k < s; ++k)
            row(y0 + k, x0, x0 + s - 1);
        break;
    case stbkPause:
        for (int k = 0; k < s; ++k)
            if (k < s / 3 || k >= 2 * s / 3) column(x0 + k, y0, y0 + s - 1);
        break;
    case stbkFastForward:
        for (int k = 0; k < s; ++k) {
            column(x0 + k / 2, y0 + k / 2, y0 + s - 1 - k / 2);
            column(x0 + h + k / 2, y0 + k / 2, y0 + s - 1 - k / 2);
        }
        break;
    case stbkRewind:
        for (int k = 0; k < s; ++k) {
            column(x0 + s - 1 - k / 2, y0 + k / 2, y0 + s - 1 - k / 2);
            column(x0 + h - k / 2, y0 + k / 2, y0 + s - 1 - k / 2);
        }
        break;
    case stbkShortLeftArrow:
        for (int k = 0; k < s; ++k)
            column(x0 + s - k / 2, y0 + k / 2, y0 + s - 1 - k / 2);
        break;
    case stbkShortRightArrow:
        for (int k = 0; k < s; ++k)
            column(x0 + k / 2, y0 + k / 2, y0 + s - 1 - k / 2);
        break;
    case stbkCloseCross:
        for (int k = 0; k <= s - 2; ++k) {
            points.emplace_back(x0 + k, y0 + k);
            points.emplace_back(x0 + k + 1, y0 + k);
            points.emplace_back(x0 + s - k - 1, y0 + k);
            points.emplace_back(x0 + s - k - 2, y0 + k);
        }
        break;
    case stbkMinimizeLine:
        for (int k = 3; k <= s - 3; ++k) {
            points.emplace_back(x0 + k, y0 + s - 4);
            points.emplace_back(x0 + k, y0 + s - 3);
        }
        break;
    }
    if (!points.empty()) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(textColor, 1));
        painter.drawPoints(points.data(), int(points.size()));
        painter.restore();
    }
}

// Above 100 % each glyph is the shape its pixels stand for, drawn smoothly at
// the screen's resolution: triangles, bars and the two diagonals of the
// cross.
void TstSpeedButton::DrawKindShapes(QPainter &painter, const QColor &textColor, int s, int x0,
                                    int y0) const {
    const qreal h = s / 2;
    const qreal x = x0, y = y0, z = s;
    std::vector<QPolygonF> shapes;
    auto triangle = [&](QPointF a, QPointF b, QPointF c) { shapes.push_back(QPolygonF{a, b, c}); };
    auto box = [&](qreal left, qreal top, qreal right, qreal bottom) {
        shapes.push_back(QPolygonF(QRectF(QPointF(left, top), QPointF(right, bottom))));
    };
    switch (kind_) {
    case stbkNone:
        break;
    case stbkLeftArrow:
        triangle({x + z, y}, {x + z, y + z}, {x, y + z / 2});
        break;
    case stbkRightArrow:
        triangle({x, y}, {x, y + z}, {x + z, y + z / 2});
        break;
    case stbkUpArrow: {
        const qreal base = y + s - s / 4;
        triangle({x, base}, {x + z, base}, {x + z / 2, base - (s / 2 + 1)});
        break;
    }
    case stbkDownArrow: {
        const qreal base = y + s / 4;
        triangle({x, base}, {x + z, base}, {x + z / 2, base + (s / 2 + 1)});
        break;
    }
    case stbkStop:
        box(x, y, x + z, y + z);
        break;
    case stbkPause:
        box(x, y, x + s / 3, y + z);
        box(x + (2 * s) / 3, y, x + z, y + z);
        break;
    case stbkFastForward:
        triangle({x, y}, {x, y + z}, {x + z / 2, y + z / 2});
        triangle({x + h, y}, {x + h, y + z}, {x + h + z / 2, y + z / 2});
        break;
    case stbkRewind:
        triangle({x + z, y}, {x + z, y + z}, {x + z / 2, y + z / 2});
        triangle({x + h + 1, y}, {x + h + 1, y + z}, {x + h + 1 - z / 2, y + z / 2});
        break;
    case stbkShortLeftArrow:
        triangle({x + z + 1, y}, {x + z + 1, y + z}, {x + z / 2 + 1, y + z / 2});
        break;
    case stbkShortRightArrow:
        triangle({x, y}, {x, y + z}, {x + z / 2, y + z / 2});
        break;
    case stbkCloseCross:
        // Two bands two pixels wide, from corner to corner of s - 1 rows.
        shapes.push_back(
            QPolygonF{{x, y}, {x + 2, y}, {x + z + 1, y + z - 1}, {x + z - 1, y + z - 1}});
        shapes.push_back(
            QPolygonF{{x + z - 2, y}, {x + z, y}, {x + 1, y + z - 1}, {x - 1, y + z - 1}});
        break;
    case stbkMinimizeLine:
        if (s >= 6) box(x + 3, y + s - 4, x + s - 2, y + s - 2);
        break;
    }
    if (shapes.empty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(textColor);
    for (const QPolygonF &shape : shapes)
        painter.drawPolygon(shape);
    painter.restore();
}
