#include "controls/stcontrol.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace {

constexpr const char *kAlignProperty = "Align";
constexpr const char *kTagProperty = "Tag";

// Parents whose children are being placed right now: the moves and resizes
// that AlignControls makes must not ask for another alignment.
std::vector<const QWidget *> &AligningParents() {
    static std::vector<const QWidget *> parents;
    return parents;
}

bool IsAligning(const QWidget *parent) {
    const auto &parents = AligningParents();
    return std::find(parents.begin(), parents.end(), parent) != parents.end();
}

void RequestAlign(QWidget *parent) {
    if (!parent || IsAligning(parent)) return;
    QEvent request(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(parent, &request);
}

// Watches aligned children: a change of their size or visibility re-lays out
// their siblings.
class AlignWatcher : public QObject {
public:
    using QObject::QObject;

    static AlignWatcher *instance() {
        static QPointer<AlignWatcher> watcher;
        if (!watcher) watcher = new AlignWatcher(QCoreApplication::instance());
        return watcher;
    }

protected:
    bool eventFilter(QObject *object, QEvent *event) override {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Move:
        case QEvent::Show:
        case QEvent::Hide:
            if (object->isWidgetType()) {
                auto *widget = static_cast<QWidget *>(object);
                if (GetAlign(widget) != TAlign::alNone && !widget->isWindow())
                    RequestAlign(widget->parentWidget());
            }
            break;
        default:
            break;
        }
        return false;
    }
};

struct Bounds {
    int left, top, right, bottom;
};

} // namespace

void SetAlign(QWidget *control, TAlign align) {
    if (!control || GetAlign(control) == align) return;
    control->setProperty(kAlignProperty, int(align));
    if (align != TAlign::alNone)
        control->installEventFilter(AlignWatcher::instance());
    else
        control->removeEventFilter(AlignWatcher::instance());
    if (!control->isWindow()) RequestAlign(control->parentWidget());
}

TAlign GetAlign(const QWidget *control) {
    if (!control) return TAlign::alNone;
    const QVariant value = control->property(kAlignProperty);
    return value.isValid() ? TAlign(value.toInt()) : TAlign::alNone;
}

void SetTag(QWidget *control, int tag) {
    if (control) control->setProperty(kTagProperty, tag);
}

int GetTag(const QWidget *control) {
    if (!control) return 0;
    return control->property(kTagProperty).toInt();
}

void AlignControls(QWidget *parent, const QRect &area) {
    if (!parent || IsAligning(parent)) return;
    AligningParents().push_back(parent);

    Bounds rest{area.left(), area.top(), area.left() + std::max(0, area.width()),
                area.top() + std::max(0, area.height())};
    const QObjectList &children = parent->children();

    auto collect = [&](TAlign align) {
        std::vector<QWidget *> list;
        for (QObject *object : children) {
            if (!object->isWidgetType()) continue;
            auto *child = static_cast<QWidget *>(object);
            // Only a child hidden on purpose gives up its room; one that was
            // merely never shown yet still takes it.
            const bool hidden = child->testAttribute(Qt::WA_WState_ExplicitShowHide) &&
                                child->testAttribute(Qt::WA_WState_Hidden);
            if (!child->isWindow() && !hidden && GetAlign(child) == align) list.push_back(child);
        }
        // Siblings of one alignment keep the order of their current places.
        std::stable_sort(list.begin(), list.end(), [align](const QWidget *a, const QWidget *b) {
            const QRect ga = a->geometry(), gb = b->geometry();
            switch (align) {
            case TAlign::alTop:
                return ga.top() < gb.top();
            case TAlign::alBottom:
                return ga.top() + ga.height() > gb.top() + gb.height();
            case TAlign::alLeft:
                return ga.left() < gb.left();
            case TAlign::alRight:
                return ga.left() + ga.width() > gb.left() + gb.width();
            default:
                return false;
            }
        });
        return list;
    };

    // A hidden widget gets its resize event only when shown; a container
    // among the children is asked to lay out its own children right away.
    const auto place = [](QWidget *child, int x, int y, int w, int h) {
        const QSize before = child->size();
        child->setGeometry(x, y, w, h);
        if (!child->isVisible() && child->size() != before) {
            QEvent request(QEvent::LayoutRequest);
            QCoreApplication::sendEvent(child, &request);
        }
    };
    const auto width = [&] { return std::max(0, rest.right - rest.left); };
    const auto height = [&] { return std::max(0, rest.bottom - rest.top); };

    for (QWidget *child : collect(TAlign::alTop)) {
        const int h = child->height();
        place(child, rest.left, rest.top, width(), h);
        rest.top = std::min(rest.top + h, std::max(rest.top, rest.bottom));
    }
    for (QWidget *child : collect(TAlign::alBottom)) {
        const int h = child->height();
        place(child, rest.left, rest.bottom - h, width(), h);
        rest.bottom = std::max(rest.bottom - h, rest.top);
    }
    for (QWidget *child : collect(TAlign::alLeft)) {
        const int w = child->width();
        place(child, rest.left, rest.top, w, height());
        rest.left = std::min(rest.left + w, std::max(rest.left, rest.right));
    }
    for (QWidget *child : collect(TAlign::alRight)) {
        const int w = child->width();
        place(child, rest.right - w, rest.top, w, height());
        rest.right = std::max(rest.right - w, rest.left);
    }
    for (QWidget *child : collect(TAlign::alClient))
        place(child, rest.left, rest.top, width(), height());

    AligningParents().pop_back();
}

int AlignmentFlags(TAlignment alignment, TTextLayout layout) {
    int flags = 0;
    switch (alignment) {
    case TAlignment::taLeftJustify:
        flags |= Qt::AlignLeft;
        break;
    case TAlignment::taRightJustify:
        flags |= Qt::AlignRight;
        break;
    case TAlignment::taCenter:
        flags |= Qt::AlignHCenter;
        break;
    }
    switch (layout) {
    case TTextLayout::tlTop:
        flags |= Qt::AlignTop;
        break;
    case TTextLayout::tlCenter:
        flags |= Qt::AlignVCenter;
        break;
    case TTextLayout::tlBottom:
        flags |= Qt::AlignBottom;
        break;
    }
    return flags;
}

void SetFontColor(QWidget *control, TColor color) {
    if (!control) return;
    QPalette p = control->palette();
    p.setColor(QPalette::WindowText, ColorToQColor(color));
    control->setPalette(p);
}

QColor FontColor(const QWidget *control) {
    return control ? control->palette().color(QPalette::Active, QPalette::WindowText) : QColor();
}

void TCaptioned::SetCaption(const QString &value) {
    if (caption_ == value) return;
    caption_ = value;
    CaptionChanged(true);
}

void TCaptioned::SetAlignment(TAlignment value) {
    if (alignment_ == value) return;
    alignment_ = value;
    CaptionChanged(false);
}

void TCaptioned::SetLayout(TTextLayout value) {
    if (layout_ == value) return;
    layout_ = value;
    CaptionChanged(false);
}
