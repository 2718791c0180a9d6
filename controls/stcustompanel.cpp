#include "controls/stcustompanel.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>

QColor ParentBackgroundColor(const QWidget *control) {
    const QWidget *parent = control ? control->parentWidget() : nullptr;
    if (const auto *panel = qobject_cast<const TstCustomPanel *>(parent))
        return ColorToQColor(panel->Color());
    if (parent) return parent->palette().color(QPalette::Active, QPalette::Window);
    return ColorToQColor(SysColor::clBtnFace);
}

void NotifyParentColorChanged(QWidget *parent) {
    if (!parent) return;
    for (QObject *object : parent->children())
        if (auto *panel = qobject_cast<TstCustomPanel *>(object))
            if (!panel->isWindow()) panel->ParentColorChanged();
}

TstCustomPanel::TstCustomPanel(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(185, 41);
    ApplyColor(color_);
}

void TstCustomPanel::SetBevelStyle(TBevelStyle value) {
    if (bevelStyle_ == value) return;
    bevelStyle_ = value;
    update();
}

void TstCustomPanel::SetBevelWidth(int value) {
    value = std::max(value, 0);
    if (bevelWidth_ == value) return;
    bevelWidth_ = value;
    Realign();
    update();
}

void TstCustomPanel::SetShadowOffset(int value) {
    value = std::clamp(value, 0, 360);
    if (shadowOffset_ == value) return;
    shadowOffset_ = value;
    update();
}

void TstCustomPanel::SetParentShadow(bool value) {
    if (parentShadow_ == value) return;
    parentShadow_ = value;
    update();
}

void TstCustomPanel::SetPenWidth(int value) {
    value = std::max(value, 0);
    if (penWidth_ == value) return;
    penWidth_ = value;
    if (bevelStyle_ == TBevelStyle::bsRound) update();
}

void TstCustomPanel::SetColor(TColor value) {
    if (color_ == value) return;
    parentColor_ = false;
    ApplyColor(value);
    update();
    NotifyParentColorChanged(this);
}

void TstCustomPanel::SetParentColor(bool value) {
    if (parentColor_ == value) return;
    parentColor_ = value;
    if (value && parentWidget()) {
        ApplyColor(QColorToColor(ParentBackgroundColor(this)));
        update();
        NotifyParentColorChanged(this);
    }
}

void TstCustomPanel::ApplyColor(TColor value) {
    color_ = value;
    // The palette carries the colour to plain child widgets and to whoever
    // asks for this panel's background.
    QPalette p = palette();
    p.setColor(QPalette::Window, ColorToQColor(value));
    setPalette(p);
}

void TstCustomPanel::ParentColorChanged() {
    if (parentColor_) {
        const TColor value = QColorToColor(ParentBackgroundColor(this));
        if (value != color_) {
            ApplyColor(value);
            update();
            NotifyParentColorChanged(this);
            return;
        }
    }
    if (parentShadow_ || bevelStyle_ == TBevelStyle::bsRound) update();
}

int TstCustomPanel::AdjustBevel() const {
    return std::max(0, std::min(bevelWidth_, std::min(width(), height()) / 2));
}

QRect TstCustomPanel::AlignRect() const {
    const int b = AdjustBevel();
    return QRect(b, b, std::max(0, width() - 2 * b), std::max(0, height() - 2 * b));
}

void TstCustomPanel::Realign() {
    AlignControls(this, AlignRect());
}

void TstCustomPanel::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    Realign();
    update();
}

void TstCustomPanel::moveEvent(QMoveEvent *event) {
    QWidget::moveEvent(event);
    update();
}

bool TstCustomPanel::event(QEvent *event) {
    switch (event->type()) {
    case QEvent::LayoutRequest:
        Realign();
        return true;
    case QEvent::ParentChange:
        if (parentColor_ && parentWidget()) {
            ApplyColor(QColorToColor(ParentBackgroundColor(this)));
            update();
        }
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

QColor TstCustomPanel::ShadowBase() const {
    return parentShadow_ ? ParentBackgroundColor(this) : ColorToQColor(color_);
}

void TstCustomPanel::PaintBevel(QPainter &painter) {
    const int w = width();
    const int h = height();
    const int b = AdjustBevel();
    const QColor base = ShadowBase();
    const QColor own = ColorToQColor(color_);
    // Above 100 % the round groove is smoothed; at 100 % it keeps its exact
    // pixels.
    const bool smooth = PaintRatio(painter) > 1.0;
    painter.setRenderHint(QPainter::Antialiasing, smooth);

    if (bevelStyle_ == TBevelStyle::bsRound) {
        painter.fillRect(rect(), ParentBackgroundColor(this));
        const int p = penWidth_ <= b - 1 ? penWidth_ : std::max(0, b - 1);
        const int half = p / 2;
        const qreal radius = (2 * b - 1) / 2.0;
        // A smoothed pen of odd width is centred on the pixels that the exact
        // one covers, so straight edges stay sharp.
        const qreal shift = smooth && p % 2 == 1 ? 0.5 : 0.0;
        // A rounded rectangle from (x1, y1) to (x2, y2), right and bottom
        // exclusive, as the toolkit's RoundRect takes it.
        auto roundRect = [&](int x1, int y1, int x2, int y2) {
            const QRectF r(x1 + shift, y1 + shift, x2 - x1 - 1, y2 - y1 - 1);
            if (radius > 0)
                painter.drawRoundedRect(r, radius, radius);
            else
                painter.drawRect(r);
        };
        painter.setPen(QPen(GetColorShadow(base, shadowOffset_, 1, 1), p));
        painter.setBrush(own);
        roundRect(half + 1, half + 1, w - half, h - half);
        painter.setPen(QPen(GetColorShadow(base, shadowOffset_, -1, 1), p));
        painter.setBrush(Qt::NoBrush);
        roundRect(half, half, w - half - 1, h - half - 1);
        return;
    }

    painter.fillRect(QRect(b, b, w - 2 * b, h - 2 * b), own);
    const bool outer = bevelStyle_ == TBevelStyle::bsGradientOuter;
    DrawBevelRings(painter, rect(), b, 1, [&](int i, int n) {
        return outer ? std::pair(GetColorShadow(base, shadowOffset_, n, n - i),
                                 GetColorShadow(base, shadowOffset_, -n, n - i))
                     : std::pair(GetColorShadow(base, shadowOffset_, -n, i + 1),
                                 GetColorShadow(base, shadowOffset_, n, i + 1));
    });
}

void TstCustomPanel::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    PaintBevel(painter);
}
