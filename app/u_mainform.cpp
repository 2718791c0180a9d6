#include "app/u_mainform.h"

#include "app/helpfile.h"
#include "app/pointlistmenu.h"
#include "app/u_aboutform.h"
#include "calibration/smsdk.h"
#include "controls/myfrequencyedit.h"
#include "controls/mylabel.h"
#include "controls/myscrollbar.h"
#include "controls/stgauge.h"
#include "controls/stgrid.h"
#include "controls/stpanel.h"
#include "controls/stspeedbutton.h"
#include "dialogs/dialogcontrols.h"
#include "dialogs/u_addfqform.h"
#include "graph/u_graphform.h"
#include "platform/application.h"
#include "platform/messagebox.h"
#include "platform/registry.h"

#include "app/windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWindow>

TMainForm *MainForm = nullptr;

namespace {

constexpr TColor kButtonFace = 6513507;    // RGB 99, 99, 99
constexpr TColor kButtonBorder = 3158064;  // RGB 48, 48, 48
constexpr TColor kSelectedRow = 9474192;   // RGB 144, 144, 144
constexpr TColor kListText = 12632256;     // RGB 192, 192, 192
constexpr TColor kOpenedDot = 202;         // RGB 202, 0, 0
constexpr TColor kGaugeBack = 20480;       // RGB 0, 80, 0
constexpr TColor kGaugeFore = 38144;       // RGB 0, 149, 0
constexpr TColor kLabelDisabled = 2105376; // RGB 32, 32, 32

QFont ArialFont(int pixels, bool bold = false, const QString &family = QStringLiteral("Arial")) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

TstSpeedButton *MakeButton(QWidget *parent, const QRect &place, const QString &caption,
                           const QString &hint) {
    auto *button = new TstSpeedButton(parent);
    button->setGeometry(place);
    button->SetCaption(caption);
    button->SetHint(hint);
    button->SetColor(kButtonFace);
    button->SetColorDown(kButtonFace);
    button->SetColorDisabled(kButtonFace);
    button->SetBorderWidth(1);
    button->SetBorderColor(kButtonBorder);
    button->setFont(ArialFont(11));
    button->SetFontColor(clLime);
    button->SetFontColorDown(clLime);
    button->SetFontColorDisabled(clGray);
    return button;
}

// A group box of the window: a panel with a yellow caption label.
TstPanel *MakeGroup(QWidget *parent, const QRect &place, const QString &caption, TmyLabel *&label) {
    auto *panel = new TstPanel(parent);
    panel->setGeometry(place);
    panel->SetParentColor(true);
    label = new TmyLabel(panel);
    label->move(8, 6);
    label->setFont(ArialFont(11, true));
    SetFontColor(label, clYellow);
    label->SetDisableColor(kLabelDisabled);
    label->SetBurriedColor(clGray);
    label->SetCaption(caption);
    return panel;
}

using dialogcontrols::MakeListPanel;

// The two lists of the window: whole rows of 14 pixels on the window colour,
// filling their panel left of its scroll bar.
TstGrid *MakeListGrid(QWidget *parent, int colCount) {
    auto *grid = new TstGrid(parent);
    SetAlign(grid, TAlign::alClient);
    grid->SetColCount(colCount);
    grid->SetFixedRows(0);
    grid->SetRowHeight(14);
    grid->SetRowSelect(true);
    grid->SetColor(TstForm::kWindowColor);
    grid->setFont(ArialFont(11));
    return grid;
}

} // namespace

TMainForm::TMainForm(QWidget *parent) : TstForm(TitleText(), TFrameKind::fkMainWindow, parent) {
    MainForm = this;
    CreateComponents();
    FormCreate();
}

TMainForm::~TMainForm() {
    FormDestroy();
    if (MainForm == this) MainForm = nullptr;
}

QString TMainForm::TitleText() {
    return QStringLiteral("S-Meter Calibrator for ZX-K740");
}

QString TMainForm::TitleWithFileName(const QString &fileText, const QWidget &label) {
    const QFontMetrics metrics(label.font());
    QString file = fileText;
    QString text = QStringLiteral("%1 [%2]").arg(TitleText(), file);
    while (metrics.horizontalAdvance(text) >= label.width() && !file.isEmpty()) {
        file.remove(0, 1);
        text = QStringLiteral("%1 [...%2]").arg(TitleText(), file);
    }
    return text;
}

void TMainForm::RestoreTitle() {
    LCaption->SetCaption(TitleText());
}

void TMainForm::CreateComponents() {
    setAttribute(Qt::WA_QuitOnClose, true);
    setFont(ArialFont(11));
    SetColor(TstForm::kWindowColor);
    stPanel1 = ClientPanel;
    Panel = TopPanel;
    SetFontColor(stPanel1, clLime);
    SetSize(kClientWidth, kClientHeight);

    // Title bar.
    LCaption->SetCaption(QStringLiteral("S-Meter Calibrator"));
    stSpeedButton9 = AddTitleButton(1, 27);
    stSpeedButton9->setFont(ArialFont(9));
    stSpeedButton9->SetCaption(QStringLiteral("Help"));
    stSpeedButton9->SetHint(QStringLiteral("Help"));
    stSpeedButton10 = AddTitleButton(29, 29);
    stSpeedButton10->setFont(ArialFont(9));
    stSpeedButton10->SetCaption(QStringLiteral("About"));
    stSpeedButton10->SetHint(QStringLiteral("About"));
    stSpeedButton2 = AddTitleButton(61, 14);
    stSpeedButton2->setFont(ArialFont(16, true));
    stSpeedButton2->SetKind(stbkMinimizeLine);
    stSpeedButton2->SetHint(QStringLiteral("Minimize"));
    stSpeedButton1 = AddTitleButton(77, 14);
    stSpeedButton1->setFont(ArialFont(10, false, QStringLiteral("Arial Black")));
    stSpeedButton1->SetKind(stbkCloseCross);
    stSpeedButton1->SetHint(QStringLiteral("Close"));
    connect(stSpeedButton1, &TstSpeedButton::OnClick, this, &TMainForm::stSpeedButton1Click);
    connect(stSpeedButton2, &TstSpeedButton::OnClick, this, &TMainForm::stSpeedButton2Click);
    connect(stSpeedButton9, &TstSpeedButton::OnClick, this, &TMainForm::stSpeedButton9Click);
    connect(stSpeedButton10, &TstSpeedButton::OnClick, this, &TMainForm::stSpeedButton10Click);

    // Devices.
    DevPanel = MakeGroup(stPanel1, QRect(8, 32, 225, 133), QStringLiteral("Devices"), myLabel2);
    MenuPanel = MakeListPanel(DevPanel, QRect(8, 24, 211, 77));
    SB = dialogcontrols::MakeListScrollBar(MenuPanel);
    K7Devs = MakeListGrid(MenuPanel, 4);
    K7Devs->SetRowCount(1);
    K7Devs->OnDrawCell = [this](TstGrid *, QPainter &canvas, int col, int row, const QRect &rect,
                                TstGrid::TGridDrawState) {
        K7DevsDrawCell(canvas, col, row, rect);
    };
    K7Devs->OnSelectCell = [this](TstGrid *, int col, int row, bool &canSelect) {
        K7DevsSelectCell(col, row, canSelect);
    };
    connect(K7Devs, &TstGrid::OnDblClick, this, [this] { K7DevsDblClick(); });
    D = new TstGrid(MenuPanel);
    D->setGeometry(-50, 30, 127, 101);
    D->SetColCount(3);
    D->hide();
    connect(K7Devs, &TstGrid::OnTopLeftChanged, this,
            [this] { SB->SetPosition(K7Devs->TopRow()); });
    connect(SB, &TmyScrollBar::OnPositionChange, this,
            [this] { D->SetTopRow(int(SB->Position())); });
    BSelect = MakeButton(DevPanel, QRect(8, 105, 69, 21), QStringLiteral("Open"),
                         QStringLiteral("Close opened radio receiver and open selected radio "
                                        "receiver"));
    BClose = MakeButton(DevPanel, QRect(79, 105, 69, 21), QStringLiteral("Close"),
                        QStringLiteral("Close opened radio receiver"));
    stSpeedButton6 = MakeButton(DevPanel, QRect(150, 105, 69, 21), QStringLiteral("Refresh"),
                                QStringLiteral("Close opened radio receiver and refresh radio "
                                               "receivers list"));
    connect(BSelect, &TstSpeedButton::OnClick, this, &TMainForm::BSelectClick);
    connect(BClose, &TstSpeedButton::OnClick, this, &TMainForm::BCloseClick);
    connect(stSpeedButton6, &TstSpeedButton::OnClick, this, &TMainForm::stSpeedButton6Click);

    // Calibration table file.
    FiP = MakeGroup(stPanel1, QRect(8, 170, 225, 51), QStringLiteral("Calibration Table File"),
                    myLabel1);
    stSpeedButton3 = MakeButton(FiP, QRect(8, 23, 50, 21), QStringLiteral("New"),
                                QStringLiteral("Creates new empty calibration table"));
    stSpeedButton4 = MakeButton(FiP, QRect(61, 23, 50, 21), QStringLiteral("Open"),
                                QStringLiteral("Opens existing calibration table"));
    BSave = MakeButton(FiP, QRect(114, 23, 50, 21), QStringLiteral("Save"),
                       QStringLiteral("Saves calibration table"));
    CalInfo = MakeButton(FiP, QRect(167, 23, 50, 21), QStringLiteral("Details"),
                         QStringLiteral("Shows information about calibration table"));
    stSpeedButton3->setEnabled(false);
    stSpeedButton4->setEnabled(false);
    BSave->setEnabled(false);
    FiP->SetEnabled(false);
    connect(stSpeedButton3, &TstSpeedButton::OnClick, this, &TMainForm::stSpeedButton3Click);
    connect(stSpeedButton4, &TstSpeedButton::OnClick, this, &TMainForm::stSpeedButton4Click);
    connect(BSave, &TstSpeedButton::OnClick, this, &TMainForm::BSaveClick);
    connect(CalInfo, &TstSpeedButton::OnClick, this, &TMainForm::CalInfoClick);

    // Frequency points.
    FsP = MakeGroup(stPanel1, QRect(237, 32, 245, 189), QStringLiteral("Frequencies"), myLabel3);
    FTP = MakeListPanel(FsP, QRect(7, 24, 147, 158));
    FSB = dialogcontrols::MakeListScrollBar(FTP);
    F = MakeListGrid(FTP, 3);
    F->SetDefaultColWidth(120);
    PointListMenu = new TPointListMenu(F, this, [this] {
        return TPointListSet{document_.IsLoaded(), document_.Handle(), Smsdk::kReceiverName,
                             CalibrationMode(), document_.FileName()};
    });
    stSpeedButton8 = MakeButton(FsP, QRect(162, 27, 75, 21), QStringLiteral("Add"),
                                QStringLiteral("Adds new frequnecy point into the list"));
    BEdit = MakeButton(FsP, QRect(162, 52, 75, 21), QStringLiteral("Edit"),
                       QStringLiteral("Opens an edit table for selected frequency point"));
    BDelete = MakeButton(FsP, QRect(162, 77, 75, 21), QStringLiteral("Delete"),
                         QStringLiteral("Removes selected item from the list"));
    stSpeedButton7 =
        MakeButton(FsP, QRect(162, 102, 75, 21), QStringLiteral("Copy"),
                   QStringLiteral("Enables to copy list of frequency points from other mode"));
    stSpeedButton7->setEnabled(false);
    stSpeedButton7->hide();
    // Beyond the original panel: automatic calibration of every point.
    BSweep = MakeButton(FsP, QRect(162, 127, 75, 21), QStringLiteral("Sweep"),
                        QStringLiteral("Calibrates every point from a signal generator"));
    BSweep->setEnabled(false);
    connect(BSweep, &TstSpeedButton::OnClick, this, &TMainForm::BSweepClick);
    connect(stSpeedButton8, &TstSpeedButton::OnClick, this, &TMainForm::stSpeedButton8Click);
    connect(BEdit, &TstSpeedButton::OnClick, this, &TMainForm::BEditClick);
    connect(BDelete, &TstSpeedButton::OnClick, this, &TMainForm::BDeleteClick);
    connect(stSpeedButton7, &TstSpeedButton::OnClick, this, &TMainForm::stSpeedButton7Click);
    points_.Attach();
    // The list shows the points of the calibration mode: a mode report that
    // crosses wide FM rebuilds it, also while the editor is open.
    connect(&receiver_, &TReceiverConnection::ModeChanged, this,
            [this](std::int32_t, bool rebuildPointList) {
                if (rebuildPointList) points_.Refresh();
            });

    // RAW signal level.
    SP = MakeGroup(stPanel1, QRect(8, 226, 225, 61), QStringLiteral("RAW Signal Level"), myLabel6);
    G = new TstGauge(SP);
    G->setGeometry(8, 28, 209, 19);
    G->SetBevelStyle(TBevelStyle::bsGradientInner);
    G->SetBevelWidth(2);
    G->SetColor(TstForm::kWindowColor);
    G->SetBackColor(kGaugeBack);
    G->SetForeColor(kGaugeFore);
    G->SetGaugePercent(88);
    G->SetMin(0);
    G->SetMax(255);
    G->SetCurrent(0);
    G->SetOnAfterDraw(
        [this](TstGauge *, QPainter &canvas, const QRect &rect) { GAfterDraw(canvas, rect); });
    // The first connection: the overlay is settled before anyone else hears
    // of a new RAW value.
    connect(&level_, &TLiveLevel::RawChanged, this, &TMainForm::GShowRaw);
    connect(&overlay_, &TLevelOverlay::Changed, G, [this] { G->repaint(); });
    SP->SetEnabled(false);

    // Tuned frequency.
    FP = MakeGroup(stPanel1, QRect(237, 226, 194, 61), QStringLiteral("Tuned Frequency"), myLabel5);
    Fq = new TmyFrequencyEdit(FP);
    Fq->setGeometry(8, 24, 177, 30);
    Fq->SetColor(clBlack);
    Fq->setFont(ArialFont(19));
    Fq->SetFontColor(clLime);
    Fq->SetDefaultShadow(false);
    Fq->SetMaxLength(12);
    Fq->SetFixedPoint(fp1Hz);
    Fq->SetHzLimit(2000);
    Fq->SetShowUnit(fuMHz);
    Fq->setText(QStringLiteral("0,000000"));
    Fq->setFocusPolicy(Qt::ClickFocus);
    connect(Fq, &TstFrequencyEdit::OnValueChange, this, [this] { FqValueChange(); });
    Fq->OnKeyDown = [this](QObject *, int &key, Qt::KeyboardModifiers) { FqKeyDown(key); };
    Fq->OnKeyPress = [this](QObject *, QChar &key) { FqKeyPress(key); };
    FP->SetEnabled(false);

    stSpeedButton5 = MakeButton(stPanel1, QRect(435, 266, 53, 21), QStringLiteral("Close"),
                                QStringLiteral("Close"));
    connect(stSpeedButton5, &TstSpeedButton::OnClick, this, &TMainForm::SysBtnCloseClick);

    DMP = new TstPanel(stPanel1);
    DMP->setGeometry(8, 292, 480, 203);
    DMP->SetParentColor(true);
    DMP->hide();

    T = new QTimer(this);
    T->setInterval(300);
    connect(T, &QTimer::timeout, this, &TMainForm::TTimer);
    T->start();
}

// ---------------------------------------------------------------------------
// Life of the window

void TMainForm::FormCreate() {
    G->setAttribute(Qt::WA_OpaquePaintEvent);

    setWindowTitle(TitleText());
    LCaption->SetCaption(TitleText());

    key_ = platform::OpenUserKey();

    const auto top = platform::ReadInteger(*key_, QStringLiteral("WindowTop"));
    const auto left = platform::ReadInteger(*key_, QStringLiteral("WindowLeft"));
    QScreen *monitor = screen() ? screen() : QGuiApplication::primaryScreen();
    if (monitor) {
        move(PlaceWindow(left, top, frameGeometry().size(), monitor->geometry().size(),
                         monitor->geometry()));
    }

    qApp->installEventFilter(this);
    digitFilterInstalled_ = true;

    if (!receiver_.Bind()) {
        ShowStartupError(QStringLiteral(
            "Unable to load dynamic library ZXK740API.dll.\nApplication will be terminated."));
        return;
    }
    if (const platform::TResult bound = Smsdk::Instance().Load(); !bound) {
        ShowStartupError(bound.Message());
        return;
    }

    showAllowed_ = true;
    receiver_.Start(std::intptr_t(winId()), key_.get());
    D->SetColWidth(0, 15);
    D->SetColWidth(1, 110);
    K7Devs->SetColWidth(0, 15);
    K7Devs->SetColWidth(1, 85);
    K7Devs->SetColWidth(2, 70);
    SB->hide();
    CloseReceiver();
}

void TMainForm::ShowStartupError(const QString &text) {
    platform::ShowMessageBox(
        {nullptr, text, TitleText(), QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok});
}

void TMainForm::FormShow() {
    Enumerate();
}

bool TMainForm::FormCloseQuery() {
    return ConfirmDropSet(QStringLiteral("Close anyway?"));
}

void TMainForm::FormClose() {
    if (!showAllowed_) return;
    CloseReceiver();
    receiver_.FinishModule();
    key_->setValue(QStringLiteral("WindowTop"), y());
    key_->setValue(QStringLiteral("WindowLeft"), x());
    key_->sync();
}

void TMainForm::FormDestroy() {
    // From here on the module's callback is answered 0.
    receiver_.Stop();
    if (MainForm == this) MainForm = nullptr;
    receiver_.FreeDevices();
    delete GraphForm;
    GraphForm = nullptr;
    if (digitFilterInstalled_) {
        qApp->removeEventFilter(this);
        digitFilterInstalled_ = false;
    }
    // Tests and a failed start destroy the window without closing it.
    receiver_.FinishModule();
    HelpFile::Close();
    key_.reset();
}

void TMainForm::showEvent(QShowEvent *event) {
    TstForm::showEvent(event);
    if (!event->spontaneous() && !shownOnce_) {
        shownOnce_ = true;
        FormShow();
    }
}

void TMainForm::closeEvent(QCloseEvent *event) {
    TstForm::closeEvent(event);
    if (event->isAccepted()) FormClose();
}

void TMainForm::stSpeedButton1Click() {
    close();
}

void TMainForm::SysBtnCloseClick() {
    close();
}

void TMainForm::stSpeedButton9Click() {
    HelpFile::Show(this);
}

void TMainForm::stSpeedButton10Click() {
    TAboutForm about(this);
    about.ShowModal();
}

void TMainForm::stSpeedButton2Click() {
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible()) window->showMinimized();
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Panel) return TstForm::eventFilter(watched, event);
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
        RedirectDigitKey(watched, event))
        return true;
    return TstForm::eventFilter(watched, event);
}

bool TMainForm::RedirectDigitKey(QObject *receiver, QEvent *event) {
    auto *key = static_cast<QKeyEvent *>(event);
    if (receiver == Fq || !receiver->isWidgetType()) return false;
    // Main-keyboard digits only; the keypad's come with the keypad modifier.
    if (key->key() < Qt::Key_0 || key->key() > Qt::Key_9 || (key->modifiers() & Qt::KeypadModifier))
        return false;
    if (QApplication::activeWindow() != this || focusWidget() == Fq) return false;
    if (const std::intptr_t module = ModuleWindow()) {
        QWidget *moduleWidget = QWidget::find(WId(module));
        QWidget *focus = QApplication::focusWidget();
        if (moduleWidget && focus && moduleWidget->isAncestorOf(focus)) return false;
    }
    if (!Fq->isEnabled() || !Fq->isVisible()) return false;
    // Only the event's first delivery is redirected, not its propagation to
    // the parents of the receiver.
    if (static_cast<QWidget *>(receiver) != QApplication::focusWidget() &&
        QApplication::focusWidget())
        return false;
    Fq->setFocus(Qt::OtherFocusReason);
    QCoreApplication::postEvent(Fq, new QKeyEvent(key->type(), key->key(), key->modifiers(),
                                                  key->text(), key->isAutoRepeat(),
                                                  ushort(key->count())));
    return true;
}

// ---------------------------------------------------------------------------
// Receiver list

void TMainForm::FocusRule(QWidget *panel) {
    if (panel->isEnabled() && panel->isVisible() && Fq->hasFocus())
        panel->setFocus(Qt::OtherFocusReason);
}

bool TMainForm::ConfirmDropSet(const QString &question, bool yesByDefault) {
    if (!document_.HasUnsavedChanges()) return true;
    return platform::ShowMessageBox(
               {this, QStringLiteral("Calibration table is modified and not saved.\n") + question,
                QStringLiteral("Confirmation"), QMessageBox::Question,
                QMessageBox::Yes | QMessageBox::No,
                yesByDefault ? QMessageBox::Yes : QMessageBox::No}) == QMessageBox::Yes;
}

void TMainForm::stSpeedButton6Click() {
    FocusRule(DevPanel);
    if (!ConfirmDropSet(QStringLiteral("Do you want to refresh?"))) return;
    Enumerate();
    RestoreTitle();
    T->start();
}

void TMainForm::Enumerate() {
    CloseReceiver();
    receiver_.FreeDevices();
    K7Devs->update();
    K7Devs->SetRowCount(1);
    receiver_.ReadDevices();
    K7Devs->SetRowCount(std::max(1, int(Devices().size())));
    K7Devs->update();
    BSelect->setEnabled(ListNotEmpty());
}

void TMainForm::K7DevsDrawCell(QPainter &canvas, int col, int row, const QRect &rect) {
    canvas.setFont(ArialFont(11));
    const bool selected = row == K7Devs->Row() && ListNotEmpty();
    canvas.fillRect(rect, ColorToQColor(selected ? kSelectedRow : TstForm::kWindowColor));
    canvas.setPen(ColorToQColor(selected ? clBlack : kListText));
    if (row >= int(Devices().size())) {
        if (row == 0)
            canvas.drawText(QRect(10, rect.top() + 1, K7Devs->width(), rect.height()),
                            Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                            QStringLiteral("No ZX-K740 radio receiver is available"));
        return;
    }
    const TDeviceEntry &entry = *Devices()[std::size_t(row)];
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    switch (col) {
    case 0:
        if (entry.Opened) {
            const QColor dot = ColorToQColor(kOpenedDot);
            canvas.save();
            canvas.setRenderHint(QPainter::Antialiasing, false);
            canvas.setPen(dot);
            canvas.setBrush(dot);
            canvas.drawEllipse(rect.adjusted(3, 3, -4, -4));
            canvas.restore();
        }
        break;
    case 1:
        canvas.drawText(rect.adjusted(1, 0, 0, 0), flags, entry.Model);
        break;
    case 2:
        canvas.setFont(ArialFont(11, false, QStringLiteral("Courier New")));
        canvas.drawText(rect, flags,
                        entry.Serial.isEmpty() ? QStringLiteral("**DEMO**") : entry.Serial);
        break;
    default:
        canvas.drawText(rect, flags, entry.Interface);
        break;
    }
}

void TMainForm::K7DevsSelectCell(int, int row, bool &) {
    const bool onEntry = ListNotEmpty() && row >= 0 && row < int(Devices().size());
    const bool opened = onEntry && Devices()[std::size_t(row)]->Opened;
    BSelect->setEnabled(onEntry && !opened);
    BClose->setEnabled(onEntry && opened);
}

void TMainForm::K7DevsDblClick() {
    if (BSelect->isEnabled()) OpenSelectedReceiver();
}

void TMainForm::BSelectClick() {
    OpenSelectedReceiver();
}

void TMainForm::BCloseClick() {
    FocusRule(DevPanel);
    if (!ConfirmDropSet(QStringLiteral("Do you want to close opened radio receiver?"))) return;
    CloseReceiver();
}

void TMainForm::OpenSelectedReceiver() {
    FocusRule(DevPanel);
    if (!ConfirmDropSet(QStringLiteral("Open selected receiver device?"))) return;
    const int row = K7Devs->Row();
    if (row < 0 || row >= int(Devices().size())) return;
    TDeviceEntry &entry = *Devices()[std::size_t(row)];
    CloseReceiver();
    {
        // The wait cursor stays through a failure's message and the release
        // of what the failed attempt took, which follows the message.
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        struct CursorRestore {
            ~CursorRestore() { QGuiApplication::restoreOverrideCursor(); }
        } cursorRestore;
        const platform::TResult opened = receiver_.Open(entry);
        if (!platform::ShowFailure(this, opened)) return;
    }

    const std::intptr_t window = receiver_.ModuleWindow();
    if (window && QWidget::find(WId(window))) Embed(window);
    receiver_.Activate();
    K7Devs->update();

    retuneGuard_ = true;
    Fq->SetMax(receiver_.Highest());
    Fq->SetMin(receiver_.Lowest());
    if (AddFqForm) {
        AddFqForm->Fq->SetMax(receiver_.Highest());
        AddFqForm->Fq->SetMin(receiver_.Lowest());
    }
    Fq->SetValue(std::int64_t(receiver_.TunedFrequency()));

    BSelect->setEnabled(false);
    BClose->setEnabled(true);
    FP->SetEnabled(true);
    FiP->SetEnabled(true);
    BSave->setEnabled(false);
    CalInfo->setEnabled(false);
    SP->SetEnabled(true);
    document_.Close();

    retuneGuard_ = false;
    RestoreTitle();
}

void TMainForm::Embed(std::intptr_t moduleWindow) {
    QWidget *window = QWidget::find(WId(moduleWindow));
    if (!window) return;
    // As a child window its outer rectangle is its geometry.
    const int height = window->height();
    DMP->resize(DMP->width(), height + 4);
    SetSize(width(), DMP->geometry().bottom() + 1 + 8);
    DMP->show();
    window->setEnabled(false);
    window->setParent(DMP, Qt::Widget);
    window->move(2, 2);
    window->show();
    raise();
    window->setEnabled(true);
    activateWindow();
    K7Devs->setFocus(Qt::OtherFocusReason);
}

void TMainForm::CloseReceiver() {
    T->stop();
    if (receiver_.Close()) {
        document_.Close();
        K7Devs->update();
    }
    SetSize(width(), kClientHeight);
    DMP->hide();
    overlay_.Hide();
    T->start();

    retuneGuard_ = true;
    points_.Clear();
    CalInfo->setEnabled(false);
    FsP->SetEnabled(false);
    FP->SetEnabled(false);
    Fq->setEnabled(false);
    FiP->SetEnabled(false);
    SP->SetEnabled(false);
    G->SetCurrent(0);
    QCoreApplication::processEvents();
    retuneGuard_ = false;

    BSelect->setEnabled(ListNotEmpty());
    BClose->setEnabled(false);
    RestoreTitle();
}

// ---------------------------------------------------------------------------
// Tuning and the live level

void TMainForm::FqValueChange() {
    if (retuneGuard_) return;
    receiver_.Tune(std::uint64_t(Fq->Value()));
    retuneGuard_ = true;
    Fq->SetValue(std::int64_t(receiver_.TunedFrequency()));
    retuneGuard_ = false;
}

void TMainForm::FqKeyDown(int key) {
    enterFlag_ = key == Qt::Key_Return || key == Qt::Key_Enter;
}

void TMainForm::FqKeyPress(QChar key) {
    if (key == QChar(0) && enterFlag_) FocusRule(FP);
}

void TMainForm::TTimer() {
    if (!receiver_.IsOpen()) {
        // Cleared before the repaint, so that the text really goes.
        overlay_.Hide();
        return;
    }
    level_.Poll();
}

void TMainForm::SpectrumLevel(std::uint32_t span, std::int64_t byteCount, const void *data) {
    level_.Spectrum(span, byteCount, data);
}

void TMainForm::GShowRaw(std::uint8_t raw) {
    overlay_.Update(raw);
    // The gauge redraws itself when its value changes; otherwise the overlay
    // may still have changed.
    if (G->Current() == raw)
        G->repaint();
    else
        G->SetCurrent(raw);
}

void TMainForm::GAfterDraw(QPainter &canvas, const QRect &) {
    if (!overlay_.Shown()) return;
    canvas.setFont(ArialFont(11));
    const int left = (G->width() - 60) / 2;
    canvas.drawText(QRect(QPoint(left, 2), QPoint(left + 60 - 1, 16 - 1)),
                    Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, overlay_.Text());
}
