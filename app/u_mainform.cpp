#include "app/u_mainform.h"

#include "app/filecommands.h"
#include "app/helpfile.h"
#include "app/leveloverlay.h"
#include "app/pointlist.h"
#include "app/pointlistmenu.h"
#include "app/proofcommands.h"
#include "app/u_aboutform.h"
#include "calibration/caldocument.h"
#include "calibration/smsdk.h"
#include "controls/dialogparts.h"
#include "controls/myfrequencyedit.h"
#include "controls/mylabel.h"
#include "controls/myscrollbar.h"
#include "controls/stgauge.h"
#include "controls/stgrid.h"
#include "controls/stpanel.h"
#include "controls/stspeedbutton.h"
#include "dialogs/u_addfqform.h"
#include "dialogs/u_sweepform.h"
#include "platform/application.h"
#include "platform/messagebox.h"
#include "platform/registry.h"
#include "receiver/livelevel.h"
#include "receiver/receiverconnection.h"

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

using namespace dialogparts;

namespace {

constexpr TColor kOpenedDot = 202;   // RGB 202, 0, 0
constexpr TColor kGaugeBack = 20480; // RGB 0, 80, 0
constexpr TColor kGaugeFore = 38144; // RGB 0, 149, 0

} // namespace

TMainForm::TMainForm(const TMainFormParts &parts, QWidget *parent)
    : TstForm(TitleText(), TFrameKind::fkMainWindow, parent), parts_(parts) {
    CreateComponents();
    FormCreate();
}

TMainForm::~TMainForm() {
    FormDestroy();
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

void TMainForm::ShowFileInTitle(const QString &fileName) {
    LCaption->SetCaption(TitleWithFileName(fileName, *LCaption));
}

bool TMainForm::ListNotEmpty() const {
    return !parts_.Receiver.Devices().empty();
}

void TMainForm::stSpeedButton3Click() {
    files_->New();
}
void TMainForm::stSpeedButton4Click() {
    files_->Open();
}
void TMainForm::BSaveClick() {
    files_->Save();
}
void TMainForm::CalInfoClick() {
    files_->Details();
}
void TMainForm::stSpeedButton8Click() {
    points_->Add();
}
void TMainForm::BAddPointsClick() {
    points_->AddPoints();
}
void TMainForm::BEditClick() {
    points_->Edit();
}
void TMainForm::BDeleteClick() {
    points_->Delete();
}
void TMainForm::stSpeedButton7Click() {
    points_->CopyFromOtherMode();
}
void TMainForm::BSweepClick() {
    points_->Sweep();
}
void TMainForm::BVerifyClick() {
    points_->Verify();
}
void TMainForm::BReportClick() {
    proof_->Report(this);
}

void TMainForm::RestoreTitle() {
    LCaption->SetCaption(TitleText());
}

void TMainForm::CreateComponents() {
    setAttribute(Qt::WA_QuitOnClose, true);
    setFont(ArialFont(11));
    SetColor(TstForm::kWindowColor);
    TstPanel *stPanel1 = ClientPanel;
    Panel = TopPanel;
    TstSpeedButton *stSpeedButton9, *stSpeedButton10, *stSpeedButton2, *stSpeedButton1;
    TstSpeedButton *stSpeedButton6, *stSpeedButton3, *stSpeedButton4, *stSpeedButton8, *BEdit,
        *BDelete, *stSpeedButton7, *BSweep, *BVerify, *BAddPoints, *stSpeedButton5;
    TmyLabel *myLabel1, *myLabel2, *myLabel3, *myLabel5, *myLabel6;
    SetFontColor(stPanel1, clLime);
    SetSize(kClientWidth, kClientHeight);

    // Title bar.
    LCaption->SetCaption(QStringLiteral("S-Meter Calibrator"));
    const struct {
        TstSpeedButton *&button;
        const char *name;
        int left, width;
        QFont font;
        const char *caption;
        TSTButtonKind kind;
        const char *hint;
        void (TMainForm::*click)();
    } titleButtons[] = {
        {stSpeedButton9, "stSpeedButton9", 1, 27, ArialFont(9), "Help", stbkNone, "Help",
         &TMainForm::stSpeedButton9Click},
        {stSpeedButton10, "stSpeedButton10", 29, 29, ArialFont(9), "About", stbkNone, "About",
         &TMainForm::stSpeedButton10Click},
        {stSpeedButton2, "stSpeedButton2", 61, 14, ArialFont(16, true), "", stbkMinimizeLine,
         "Minimize", &TMainForm::stSpeedButton2Click},
        {stSpeedButton1, "stSpeedButton1", 77, 14,
         ArialFont(10, false, QStringLiteral("Arial Black")), "", stbkCloseCross, "Close",
         &TMainForm::stSpeedButton1Click},
    };
    for (const auto &b : titleButtons) {
        b.button = Named(AddTitleButton(b.left, b.width), b.name);
        b.button->setFont(b.font);
        if (b.kind == stbkNone)
            b.button->SetCaption(QLatin1String(b.caption));
        else
            b.button->SetKind(b.kind);
        b.button->SetHint(QLatin1String(b.hint));
        connect(b.button, &TstSpeedButton::OnClick, this, b.click);
    }

    // The groups and their lists.
    DevPanel =
        Named(MakeGroup(stPanel1, QRect(8, 32, 225, 133), QStringLiteral("Devices"), &myLabel2),
              "DevPanel");
    Named(myLabel2, "myLabel2");
    TstPanel *MenuPanel = Named(MakeListPanel(DevPanel, QRect(8, 24, 211, 77)), "MenuPanel");
    SB = Named(MakeListScrollBar(MenuPanel), "SB");
    K7Devs = Named(MakeListGrid(MenuPanel, 4, 0), "K7Devs");
    K7Devs->SetOnDrawCell(
        [this](TstGrid *, QPainter &canvas, int col, int row, const QRect &rect,
               TstGrid::TGridDrawState) { K7DevsDrawCell(canvas, col, row, rect); });
    K7Devs->SetOnSelectCell([this](TstGrid *, int col, int row, bool &canSelect) {
        K7DevsSelectCell(col, row, canSelect);
    });
    connect(K7Devs, &TstGrid::OnDblClick, this, [this] { K7DevsDblClick(); });
    D = Named(new TstGrid(MenuPanel), "D");
    D->setGeometry(-50, 30, 127, 101);
    D->SetColCount(3);
    D->hide();
    connect(K7Devs, &TstGrid::OnTopLeftChanged, this,
            [this] { SB->SetPosition(K7Devs->TopRow()); });
    connect(SB, &TmyScrollBar::OnPositionChange, this,
            [this] { D->SetTopRow(int(SB->Position())); });

    FiP = Named(MakeGroup(stPanel1, QRect(8, 170, 225, 51),
                          QStringLiteral("Calibration Table File"), &myLabel1),
                "FiP");
    Named(myLabel1, "myLabel1");

    FsP = Named(
        MakeGroup(stPanel1, QRect(237, 32, 245, 189), QStringLiteral("Frequencies"), &myLabel3),
        "FsP");
    Named(myLabel3, "myLabel3");
    TstPanel *FTP = Named(MakeListPanel(FsP, QRect(7, 24, 147, 158)), "FTP");
    TmyScrollBar *FSB = Named(MakeListScrollBar(FTP), "FSB");
    F = Named(MakeListGrid(FTP, 3, 0), "F");
    F->SetDefaultColWidth(120);
    // F owns its context menu.
    new TPointListMenu(
        F, this,
        [this] {
            const TCalDocument &document = parts_.Document;
            return TPointListSet{document.IsLoaded(), document.Handle(), Smsdk::kReceiverName,
                                 Smsdk::CalibrationMode(parts_.Receiver.CurrentMode()),
                                 document.FileName()};
        },
        [this] { points_->AddPoints(); });

    // The buttons of the groups.
    const struct {
        TstSpeedButton *&button;
        const char *name;
        QWidget *parent;
        QRect place;
        const char *caption;
        const char *hint;
        void (TMainForm::*click)();
        bool enabled;
    } buttons[] = {
        // A button a row, in the same three lines each.
        // clang-format off
        {BSelect, "BSelect", DevPanel, QRect(8, 105, 69, 21), "Open",
         "Close opened radio receiver and open selected radio receiver",
         &TMainForm::BSelectClick, true},
        {BClose, "BClose", DevPanel, QRect(79, 105, 69, 21), "Close",
         "Close opened radio receiver",
         &TMainForm::BCloseClick, true},
        {stSpeedButton6, "stSpeedButton6", DevPanel, QRect(150, 105, 69, 21), "Refresh",
         "Close opened radio receiver and refresh radio receivers list",
         &TMainForm::stSpeedButton6Click, true},
        {stSpeedButton3, "stSpeedButton3", FiP, QRect(8, 23, 50, 21), "New",
         "Creates new empty calibration table",
         &TMainForm::stSpeedButton3Click, false},
        {stSpeedButton4, "stSpeedButton4", FiP, QRect(61, 23, 50, 21), "Open",
         "Opens existing calibration table",
         &TMainForm::stSpeedButton4Click, false},
        {BSave, "BSave", FiP, QRect(114, 23, 50, 21), "Save",
         "Saves calibration table",
         &TMainForm::BSaveClick, false},
        {CalInfo, "CalInfo", FiP, QRect(167, 23, 50, 21), "Details",
         "Shows information about calibration table",
         &TMainForm::CalInfoClick, true},
        {stSpeedButton8, "stSpeedButton8", FsP, QRect(162, 27, 75, 21), "Add",
         "Adds new frequnecy point into the list",
         &TMainForm::stSpeedButton8Click, true},
        {BEdit, "BEdit", FsP, QRect(162, 52, 75, 21), "Edit",
         "Opens an edit table for selected frequency point",
         &TMainForm::BEditClick, true},
        {BDelete, "BDelete", FsP, QRect(162, 77, 75, 21), "Delete",
         "Removes selected item from the list",
         &TMainForm::BDeleteClick, true},
        {stSpeedButton7, "stSpeedButton7", FsP, QRect(162, 102, 75, 21), "Copy",
         "Enables to copy list of frequency points from other mode",
         &TMainForm::stSpeedButton7Click, false},
        // Beyond the original panel, below Copy and a little lower than the
        // panel's own buttons so that all three fit: automatic calibration,
        // many points at once, the verification.
        {BSweep, "BSweep", FsP, QRect(162, 126, 75, 19), "Sweep",
         "Calibrates every point from a signal generator",
         &TMainForm::BSweepClick, false},
        {BVerify, "BVerify", FsP, QRect(162, 168, 75, 19), "Verify",
         "Checks every point against known levels of the signal generator",
         &TMainForm::BVerifyClick, false},
        // Above Close: the calibration report of the open set as PDF.
        {BReport, "BReport", stPanel1, QRect(435, 239, 53, 21), "Report\u2026",
         "Writes the calibration report of the open set as PDF",
         &TMainForm::BReportClick, false},
        {BAddPoints, "BAddPoints", FsP, QRect(162, 147, 75, 19), "Add points…",
         "Adds many frequency points at once: a range, points per decade or a list",
         &TMainForm::BAddPointsClick, true},
        {stSpeedButton5, "stSpeedButton5", stPanel1, QRect(435, 266, 53, 21), "Close",
         "Close",
         &TMainForm::SysBtnCloseClick, true},
        // clang-format on
    };
    for (const auto &b : buttons) {
        b.button = Named(
            MakeButton(b.parent, b.place, QString::fromUtf8(b.caption), QLatin1String(b.hint)),
            b.name);
        b.button->setEnabled(b.enabled);
        connect(b.button, &TstSpeedButton::OnClick, this, b.click);
    }
    FiP->SetEnabled(false);
    stSpeedButton7->hide();
    // The list shows the points of the calibration mode: a mode report that
    // crosses wide FM rebuilds it, also while the editor is open.
    connect(&parts_.Receiver, &TReceiverConnection::ModeChanged, this,
            [this](std::int32_t, bool rebuildPointList) {
                if (rebuildPointList) points_->Refresh();
            });

    // RAW signal level.
    SP = Named(
        MakeGroup(stPanel1, QRect(8, 226, 225, 61), QStringLiteral("RAW Signal Level"), &myLabel6),
        "SP");
    Named(myLabel6, "myLabel6");
    G = Named(new TstGauge(SP), "G");
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
    connect(&parts_.Level, &TLiveLevel::RawChanged, this, &TMainForm::GShowRaw);
    connect(&parts_.Overlay, &TLevelOverlay::Changed, G, [this] { G->repaint(); });
    SP->SetEnabled(false);

    // Tuned frequency.
    FP = Named(
        MakeGroup(stPanel1, QRect(237, 226, 194, 61), QStringLiteral("Tuned Frequency"), &myLabel5),
        "FP");
    Named(myLabel5, "myLabel5");
    Fq = Named(new TmyFrequencyEdit(FP), "Fq");
    StyleFrequencyField(Fq, QRect(8, 24, 177, 30), 19);
    Fq->setFocusPolicy(Qt::ClickFocus);
    connect(Fq, &TstFrequencyEdit::OnValueChange, this, [this] { FqValueChange(); });
    Fq->SetOnKeyDown([this](QObject *, int &key, Qt::KeyboardModifiers) { FqKeyDown(key); });
    Fq->SetOnKeyPress([this](QObject *, QChar &key) { FqKeyPress(key); });
    FP->SetEnabled(false);

    // The commands of the file and point panels, on the controls above.
    TSweepForm &sweep = parts_.Sweep;
    proof_ = std::make_unique<TProofCommands>(TProofParts{
        parts_.Document, parts_.Receiver, parts_.Verify,
        [&sweep](TSweepSettings &settings) { return sweep.GeneratorSettings(settings); },
        [&sweep] { return sweep.LastSettings(); }});
    points_ = std::make_unique<TPointList>(
        TPointListParts{*this, parts_.Document, parts_.Receiver, parts_.Points, parts_.AddFq,
                        parts_.AddPoints, parts_.Table, parts_.Copy, parts_.Sweep, *FsP, *F, *FSB,
                        *BEdit, *BDelete, *BSweep, *BVerify, *proof_, *Fq});
    // The report needs a set, as Details does.
    CalInfo->installEventFilter(this);
    files_ = std::make_unique<TFileCommands>(TFileCommandParts{
        *this, parts_.Document, *points_, parts_.CalInfo, *FiP, *stPanel1, *FsP, *BSave, *CalInfo});

    DMP = Named(new TstPanel(stPanel1), "DMP");
    DMP->setGeometry(8, 292, 480, 203);
    DMP->SetParentColor(true);
    DMP->hide();

    T = Named(new QTimer(this), "T");
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
        move(PlaceWindow(left, top, frameGeometry().size(), AvailableScreenAreas(),
                         monitor->geometry()));
    }

    qApp->installEventFilter(this);
    digitFilterInstalled_ = true;

    if (!parts_.Receiver.Bind()) {
        ShowStartupError(QStringLiteral(
            "Unable to load dynamic library ZXK740API.dll.\nApplication will be terminated."));
        return;
    }
    if (const platform::TResult bound = Smsdk::Instance().Load(); !bound) {
        ShowStartupError(bound.Message());
        return;
    }

    showAllowed_ = true;
    parts_.Receiver.Start(std::intptr_t(winId()), key_.get());
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
    parts_.Receiver.FinishModule();
    key_->setValue(QStringLiteral("WindowTop"), y());
    key_->setValue(QStringLiteral("WindowLeft"), x());
    key_->sync();
}

void TMainForm::FormDestroy() {
    // From here on the module's callback is answered 0.
    parts_.Receiver.Stop();
    parts_.Receiver.FreeDevices();
    if (digitFilterInstalled_) {
        qApp->removeEventFilter(this);
        digitFilterInstalled_ = false;
    }
    // Tests and a failed start destroy the window without closing it.
    parts_.Receiver.FinishModule();
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
    if (watched == CalInfo && event->type() == QEvent::EnabledChange)
        BReport->setEnabled(CalInfo->isEnabled());
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
    if (const std::intptr_t module = parts_.Receiver.ModuleWindow()) {
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
    if (!parts_.Document.HasUnsavedChanges()) return true;
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
    parts_.Receiver.FreeDevices();
    K7Devs->update();
    K7Devs->SetRowCount(1);
    parts_.Receiver.ReadDevices();
    K7Devs->SetRowCount(std::max(1, int(parts_.Receiver.Devices().size())));
    K7Devs->update();
    BSelect->setEnabled(ListNotEmpty());
}

void TMainForm::K7DevsDrawCell(QPainter &canvas, int col, int row, const QRect &rect) {
    canvas.setFont(ArialFont(11));
    const bool selected = row == K7Devs->Row() && ListNotEmpty();
    canvas.fillRect(rect, ColorToQColor(selected ? kSelectedRow : TstForm::kWindowColor));
    canvas.setPen(ColorToQColor(selected ? clBlack : kListText));
    if (row >= int(parts_.Receiver.Devices().size())) {
        if (row == 0)
            canvas.drawText(QRect(10, rect.top() + 1, K7Devs->width(), rect.height()),
                            Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                            QStringLiteral("No ZX-K740 radio receiver is available"));
        return;
    }
    const TDeviceEntry &entry = *parts_.Receiver.Devices()[std::size_t(row)];
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    switch (col) {
    case 0:
        if (entry.Opened) {
            const QColor dot = ColorToQColor(kOpenedDot);
            canvas.save();
            // Smoothed above 100 % only, on the pixels the exact circle
            // covers; at 100 % it keeps its exact pixels.
            const bool smooth = PaintRatio(canvas) > 1.0;
            canvas.setRenderHint(QPainter::Antialiasing, smooth);
            if (smooth) canvas.translate(0.5, 0.5);
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
    const bool onEntry = ListNotEmpty() && row >= 0 && row < int(parts_.Receiver.Devices().size());
    const bool opened = onEntry && parts_.Receiver.Devices()[std::size_t(row)]->Opened;
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
    if (row < 0 || row >= int(parts_.Receiver.Devices().size())) return;
    TDeviceEntry &entry = *parts_.Receiver.Devices()[std::size_t(row)];
    CloseReceiver();
    {
        // The wait cursor stays through a failure's message and the release
        // of what the failed attempt took, which follows the message.
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        struct CursorRestore {
            ~CursorRestore() { QGuiApplication::restoreOverrideCursor(); }
        } cursorRestore;
        const platform::TResult opened = parts_.Receiver.Open(entry);
        if (!platform::ShowFailure(this, opened)) return;
    }

    const std::intptr_t window = parts_.Receiver.ModuleWindow();
    if (window && QWidget::find(WId(window))) Embed(window);
    parts_.Receiver.Activate();
    K7Devs->update();

    retuneGuard_ = true;
    Fq->SetMax(parts_.Receiver.Highest());
    Fq->SetMin(parts_.Receiver.Lowest());
    parts_.AddFq.SetRange(parts_.Receiver.Lowest(), parts_.Receiver.Highest());
    Fq->SetValue(std::int64_t(parts_.Receiver.TunedFrequency()));

    BSelect->setEnabled(false);
    BClose->setEnabled(true);
    FP->SetEnabled(true);
    FiP->SetEnabled(true);
    BSave->setEnabled(false);
    CalInfo->setEnabled(false);
    SP->SetEnabled(true);
    parts_.Document.Close();

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
    if (parts_.Receiver.Close()) {
        parts_.Document.Close();
        K7Devs->update();
    }
    SetSize(width(), kClientHeight);
    DMP->hide();
    parts_.Overlay.Hide();
    T->start();

    retuneGuard_ = true;
    points_->Clear();
    CalInfo->setEnabled(false);
    FsP->SetEnabled(false);
    FP->SetEnabled(false);
    Fq->setEnabled(false);
    FiP->SetEnabled(false);
    SP->SetEnabled(false);
    G->SetCurrent(0);
    retuneGuard_ = false;

    BSelect->setEnabled(ListNotEmpty());
    BClose->setEnabled(false);
    RestoreTitle();
}

// ---------------------------------------------------------------------------
// Tuning and the live level

void TMainForm::FqValueChange() {
    if (retuneGuard_) return;
    parts_.Receiver.Tune(std::uint64_t(Fq->Value()));
    retuneGuard_ = true;
    Fq->SetValue(std::int64_t(parts_.Receiver.TunedFrequency()));
    retuneGuard_ = false;
}

void TMainForm::FqKeyDown(int key) {
    enterFlag_ = key == Qt::Key_Return || key == Qt::Key_Enter;
}

void TMainForm::FqKeyPress(QChar key) {
    if (key == QChar(0) && enterFlag_) FocusRule(FP);
}

void TMainForm::TTimer() {
    if (!parts_.Receiver.IsOpen()) {
        // Cleared before the repaint, so that the text really goes.
        parts_.Overlay.Hide();
        return;
    }
    parts_.Level.Poll();
}

void TMainForm::GShowRaw(std::uint8_t raw) {
    parts_.Overlay.Update(raw);
    // The gauge redraws itself when its value changes; otherwise the overlay
    // may still have changed.
    if (G->Current() == raw)
        G->repaint();
    else
        G->SetCurrent(raw);
}

void TMainForm::GAfterDraw(QPainter &canvas, const QRect &) {
    if (!parts_.Overlay.Shown()) return;
    canvas.setFont(ArialFont(11));
    const int left = (G->width() - 60) / 2;
    canvas.drawText(QRect(QPoint(left, 2), QPoint(left + 60 - 1, 16 - 1)),
                    Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, parts_.Overlay.Text());
}
