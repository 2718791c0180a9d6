#include "controls/stform.h"

#include "platform/focusreturn.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QMouseEvent>
#include <QWindow>

namespace {

TModalResponder &Responder() {
    static TModalResponder responder;
    return responder;
}

// A press anywhere in a window that is not the active one brings it to the
// front and activates it, as a window manager would; without one nothing
// else does. One filter on the application serves every window.
class TRaiseOnPress : public QObject {
public:
    static void Install() {
        static TRaiseOnPress *filter = nullptr;
        if (filter || !qApp) return;
        filter = new TRaiseOnPress(qApp);
        qApp->installEventFilter(filter);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::MouseButtonPress || !watched->isWidgetType()) return false;
        QWidget *window = static_cast<QWidget *>(watched)->window();
        if (qobject_cast<TstForm *>(window) && !window->isActiveWindow()) {
            window->raise();
            window->activateWindow();
        }
        return false;
    }

private:
    using QObject::QObject;
};

QFont FrameFont(int pixels, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace

TstForm::TstForm(const QString &caption, TFrameKind kind, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), kind_(kind) {
    QPalette p = palette();
    p.setColor(QPalette::Window, ColorToQColor(color_));
    setPalette(p);
    setAutoFillBackground(true);
    setWindowTitle(caption);

    const bool mainWindow = kind_ == TFrameKind::fkMainWindow;
    ClientPanel = new TstPanel(this);
    ClientPanel->setObjectName(mainWindow ? QStringLiteral("stPanel1")
                                          : QStringLiteral("ClientPanel"));
    ClientPanel->SetParentColor(true);
    ClientPanel->SetBevelStyle(TBevelStyle::bsGradientOuter);
    ClientPanel->SetBevelWidth(mainWindow ? 4 : 3);
    ClientPanel->SetAbbreviate(!mainWindow);
    ClientPanel->SetEnable4All(true);
    ClientPanel->resize(size());
    SetAlign(ClientPanel, TAlign::alClient);

    if (kind_ != TFrameKind::fkClientOnly) BuildTitleBar();
    TRaiseOnPress::Install();
}

TstForm::~TstForm() {
    if (TopPanel) TopPanel->removeEventFilter(this);
    if (modalLoop_) modalLoop_->quit();
}

void TstForm::BuildTitleBar() {
    const bool mainWindow = kind_ == TFrameKind::fkMainWindow;

    TopPanel = new TstPanel(ClientPanel);
    TopPanel->setObjectName(mainWindow ? QStringLiteral("Panel") : QStringLiteral("TopPanel"));
    TopPanel->SetBevelStyle(TBevelStyle::bsGradientInner);
    TopPanel->SetBevelWidth(1);
    TopPanel->SetColor(kActiveTitle);
    TopPanel->SetEnable4All(true);
    TopPanel->resize(ClientPanel->width(), 18);
    SetAlign(TopPanel, TAlign::alTop);

    LCaption = new TmyLabel(TopPanel);
    LCaption->setObjectName(QStringLiteral("LCaption"));
    LCaption->setFont(FrameFont(11, true));
    SetFontColor(LCaption, kActiveCaption);
    LCaption->SetTransparent(true);
    // The caption lies on the title bar and takes no mouse input of its own,
    // so a press on the text drags like one beside it.
    LCaption->setAttribute(Qt::WA_TransparentForMouseEvents);
    LCaption->SetAutoSize(!mainWindow);
    LCaption->SetCaption(windowTitle()); // the caption copy
    LCaption->setGeometry(5, 3, mainWindow ? 388 : LCaption->width(), 14);

    ButtonPanel = new TstPanel(TopPanel);
    ButtonPanel->setObjectName(QStringLiteral("ButtonPanel"));
    ButtonPanel->SetBevelStyle(TBevelStyle::bsGradientInner);
    ButtonPanel->SetBevelWidth(0);
    ButtonPanel->SetColor(kActiveTitle);
    ButtonPanel->SetEnable4All(true);
    ButtonPanel->resize(mainWindow ? 92 : 15, 16);
    SetAlign(ButtonPanel, TAlign::alRight);

    if (!mainWindow) {
        SysBtnClose = AddTitleButton(0, 14);
        SysBtnClose->setObjectName(QStringLiteral("SysBtnClose"));
        SysBtnClose->SetKind(stbkCloseCross);
        SysBtnClose->setFont(FrameFont(11, true));
        connect(SysBtnClose, &TstSpeedButton::OnClick, this, &TstForm::SysBtnCloseClick);
    }

    // The title bar's mouse input becomes window moves.
    TopPanel->installEventFilter(this);
}

TstSpeedButton *TstForm::AddTitleButton(int left, int width) {
    if (!ButtonPanel) return nullptr;
    auto *button = new TstSpeedButton(ButtonPanel);
    button->setGeometry(left, 1, width, 14);
    button->SetColor(kTitleButtonFace);
    button->SetColorDown(kTitleButtonFace);
    button->SetColorDisabled(SysColor::clBtnFace);
    button->SetBorderColor(SysColor::clCaptionText);
    button->SetFontColor(clLime);
    button->SetFontColorDown(clLime);
    button->SetFontColorDisabled(SysColor::clWindowText);
    return button;
}

void TstForm::SetColor(TColor value) {
    if (color_ == value) return;
    color_ = value;
    QPalette p = palette();
    p.setColor(QPalette::Window, ColorToQColor(value));
    setPalette(p);
    NotifyParentColorChanged(this);
}

void TstForm::SetSize(int width, int height) {
    resize(width, height);
    Realign();
}

void TstForm::Realign() { AlignControls(this, rect()); }

void TstForm::SysBtnCloseClick() {
    close();
}

TModalResponder TstForm::SetModalResponder(TModalResponder responder) {
    TModalResponder previous = std::move(Responder());
    Responder() = std::move(responder);
    return previous;
}

void TstForm::SetModalResult(int value) {
    modalResult_ = value;
    if (value != mrNone && modalLoop_) modalLoop_->quit();
}

int TstForm::ShowModal() {
    if (modalRun_) return mrNone;
    QPointer<TstForm> self(this);
    modalResult_ = mrNone;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    modalRun_ = true;

    if (const TModalResponder responder = Responder()) {
        const int answer = responder(*this);
        if (!self) return answer;
        if (modalResult_ == mrNone) modalResult_ = answer;
    } else {
        for (;;) {
            if (modalResult_ == mrNone && isVisible()) {
                QEventLoop loop;
                modalLoop_ = &loop;
                loop.exec(QEventLoop::DialogExec);
                if (!self) return mrCancel;
                modalLoop_ = nullptr;
            }
            if (modalResult_ == mrNone) modalResult_ = mrCancel; // hidden by someone else
            if (CloseQuery() || !isVisible()) break;
            modalResult_ = mrNone;
        }
    }

    modalRun_ = false;
    hide();
    setWindowModality(Qt::NonModal);
    return modalResult_;
}

void TstForm::closeEvent(QCloseEvent *event) {
    if (modalRun_) {
        // The modal run hides the window once CloseQuery agrees.
        event->ignore();
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TstForm::hideEvent(QHideEvent *event) {
    QWidget::hideEvent(event);
    if (modalRun_ && modalLoop_ && !event->spontaneous()) modalLoop_->quit();
    if (event->spontaneous()) return;
    // The focus goes back to where it was when the window opened, unless the
    // user has gone on to another window meanwhile.
    const QWidget *active = QApplication::activeWindow();
    if (!active || active == this)
        openerFocus_.Return();
    else
        openerFocus_.Forget();
}

bool TstForm::event(QEvent *event) {
    if (event->type() == QEvent::LayoutRequest) {
        Realign();
        return true;
    }
    return QWidget::event(event);
}

void TstForm::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    Realign();
}

void TstForm::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) openerFocus_.Remember(this);
    // A window that opens behind another never gets an activation change.
    UpdateActivationColors();
}

void TstForm::changeEvent(QEvent *event) {
    if (event->type() == QEvent::ActivationChange) UpdateActivationColors();
    QWidget::changeEvent(event);
}

void TstForm::UpdateActivationColors() {
    if (!TopPanel) return;
    showsActive_ = isActiveWindow();
    const TColor title = showsActive_ ? kActiveTitle : kInactiveTitle;
    TopPanel->SetColor(title);
    ButtonPanel->SetColor(title);
    SetFontColor(LCaption, showsActive_ ? kActiveCaption : kInactiveCaption);
}

bool TstForm::eventFilter(QObject *watched, QEvent *event) {
    if (watched == TopPanel) return TitleBarMouse(event);
    return QWidget::eventFilter(watched, event);
}

// The title bar's own mouse input (pointer movement, presses, releases and
// double-clicks; not the wheel) is taken from the panel: a left press moves
// the window. Input on the button panel never reaches here as the title
// bar's own: a press there lands on a child and is refused below.
bool TstForm::TitleBarMouse(QEvent *event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        break;
    default:
        return false;
    }
    auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint pos = mouse->position().toPoint();
    if (!dragging_ && TopPanel->childAt(pos)) return true; // came up from the button panel
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() == Qt::LeftButton) {
            QWindow *window = windowHandle();
            if (!window || !window->startSystemMove()) {
                dragging_ = true;
                dragStartGlobal_ = mouse->globalPosition().toPoint();
                dragStartPos_ = this->pos();
            }
        }
        break;
    case QEvent::MouseMove:
        if (dragging_ && (mouse->buttons() & Qt::LeftButton))
            move(dragStartPos_ + (mouse->globalPosition().toPoint() - dragStartGlobal_));
        break;
    case QEvent::MouseButtonRelease:
        if (mouse->button() == Qt::LeftButton) dragging_ = false;
        break;
    default:
        break;
    }
    return true;
}
