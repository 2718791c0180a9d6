// The main window: the receiver list and the open receiver, the calibration
// file and frequency point panels, tuning and the live signal level.
//
// It is built of three parts without widgets and wires them to its controls:
// the receiver connection (TReceiverConnection: the receiver API, the
// module, open and close), the calibration document (TCalDocument: the one
// set's handle, flags and file name), the live level (TLiveLevel: the RAW
// value, published as a signal) and the dBm overlay over the gauge
// (TLevelOverlay). The commands of two panels
// live in units of their own that work on the window's controls: the file
// commands (TFileCommands: New, Open, Save, Details) and the point list
// (TPointList: the list F and Add, Edit, Delete, copy from another mode).
// The window itself does the construction of its controls, its lifecycle,
// placement, title, the digit-key redirection and the handlers that join
// these parts.
//
// Creating it binds the receiver API and the calibration library; when
// either fails it says so and ShowAllowed() answers false, and the program
// ends without showing it.
#pragma once

#include "app/filecommands.h"
#include "app/leveloverlay.h"
#include "app/pointlist.h"
#include "calibration/caldocument.h"
#include "controls/stform.h"
#include "receiver/livelevel.h"
#include "receiver/receiverconnection.h"

#include <QSettings>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

class QPainter;
class QTimer;
class TAddFqForm;
class TCalInfoForm;
class TCopyForm;
class TPointListMenu;
class TPointListModel;
class TSweepForm;
class TTableForm;
class TmyFrequencyEdit;
class TmyLabel;
class TmyScrollBar;
class TstGauge;
class TstGrid;
class TstPanel;
class TstSpeedButton;

// What the main window works with beyond its own controls: the point list
// model that its list and the frequency-select dialog share (it exists before
// the window), and the dialogs its commands run, which the program creates
// after the main window: the window runs none of them before its constructor
// has returned. All of them outlive the window.
struct TMainFormWindows {
    TPointListModel &Points;
    TAddFqForm &AddFq;
    TCalInfoForm &CalInfo;
    TCopyForm &Copy;
    TTableForm &Table;
    TSweepForm &Sweep;
};

class TMainForm : public TstForm {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 496;
    static constexpr int kClientHeight = 296;

    explicit TMainForm(const TMainFormWindows &windows, QWidget *parent = nullptr);
    ~TMainForm() override;

    // Whether FormCreate bound both libraries, so that the window may be shown.
    bool ShowAllowed() const { return showAllowed_; }

    // "S-Meter Calibrator for ZX-K740".
    static QString TitleText();
    // The title followed by a file text in brackets, the file text shortened
    // from its front until the whole fits the label's width.
    static QString TitleWithFileName(const QString &fileText, const QWidget &label);
    void RestoreTitle();

    // Handlers.
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    void FormDestroy();
    void stSpeedButton1Click();
    void stSpeedButton2Click();
    void stSpeedButton9Click();
    void stSpeedButton10Click();
    void SysBtnCloseClick();
    void stSpeedButton6Click();
    void BSelectClick();
    void BCloseClick();
    void K7DevsDblClick();
    void TTimer();
    void FqValueChange();
    // "Calibration Table File".
    void stSpeedButton3Click() { files_.New(); }
    void stSpeedButton4Click() { files_.Open(); }
    void BSaveClick() { files_.Save(); }
    void CalInfoClick() { files_.Details(); }
    // "Frequencies".
    void stSpeedButton8Click() { points_.Add(); }
    void BEditClick() { points_.Edit(); }
    void BDeleteClick() { points_.Delete(); }
    void stSpeedButton7Click() { points_.CopyFromOtherMode(); }
    void BSweepClick() { points_.Sweep(); }
    void FDblClick() { points_.FDblClick(); }

    // Receiver operations.
    void Enumerate();
    void OpenSelectedReceiver();
    void CloseReceiver();
    // Moves the focus out of Fq onto the panel, so that typing is finished.
    void FocusRule(QWidget *panel);
    // Whether a command that drops the set may go on: true when nothing
    // unsaved would be lost, else the answer to "Calibration table is
    // modified and not saved.\n" + question (Yes goes on).
    bool ConfirmDropSet(const QString &question, bool yesByDefault = false);

    // The module's spectrum message (0x110B).
    void SpectrumLevel(std::uint32_t span, std::int64_t byteCount, const void *data);

    // The parts of the window.
    TReceiverConnection &Receiver() { return receiver_; }
    const TReceiverConnection &Receiver() const { return receiver_; }
    TCalDocument &Document() { return document_; }
    const TCalDocument &Document() const { return document_; }
    TLiveLevel &Level() { return level_; }
    TPointList &Points() { return points_; }
    TFileCommands &Files() { return files_; }
    const TMainFormWindows &Windows() const { return windows_; }
    QSettings *RegistryKey() const { return key_.get(); }

    // What the window shows of them.
    std::int32_t ReceiverHandle() const { return receiver_.Handle(); }
    std::int32_t CurrentMode() const { return receiver_.CurrentMode(); }
    // The mode code under which the set is read and written now.
    std::int32_t CalibrationMode() const { return Smsdk::CalibrationMode(CurrentMode()); }
    const std::vector<std::unique_ptr<TDeviceEntry>> &Devices() const {
        return receiver_.Devices();
    }
    const SpectrumLevel::LevelConstants &LevelConstants() const {
        return receiver_.LevelConstants();
    }
    bool IsDemo() const { return receiver_.IsDemo(); }
    QString ReceiverName() const { return receiver_.ReceiverName(); }
    bool OverlayShown() const { return overlay_.Shown(); }
    double OverlayDbm() const { return overlay_.Dbm(); }
    std::int32_t PassbandWidth() const { return receiver_.PassbandWidth(); }
    std::int32_t PassbandOffset() const { return receiver_.PassbandOffset(); }
    std::intptr_t ModuleWindow() const { return receiver_.ModuleWindow(); }

    // Components (named as the window's designer named them).
    // The frame's client panel and title bar (ClientPanel, TopPanel).
    TstPanel *stPanel1 = nullptr;
    TstPanel *Panel = nullptr;
    TstSpeedButton *stSpeedButton9 = nullptr;
    TstSpeedButton *stSpeedButton10 = nullptr;
    TstSpeedButton *stSpeedButton2 = nullptr;
    TstSpeedButton *stSpeedButton1 = nullptr;
    TstPanel *DevPanel = nullptr;
    TmyLabel *myLabel2 = nullptr;
    TstPanel *MenuPanel = nullptr;
    TstGrid *K7Devs = nullptr;
    TmyScrollBar *SB = nullptr;
    TstGrid *D = nullptr;
    TstSpeedButton *BSelect = nullptr;
    TstSpeedButton *BClose = nullptr;
    TstSpeedButton *stSpeedButton6 = nullptr;
    TstPanel *FiP = nullptr;
    TmyLabel *myLabel1 = nullptr;
    TstSpeedButton *stSpeedButton3 = nullptr;
    TstSpeedButton *stSpeedButton4 = nullptr;
    TstSpeedButton *BSave = nullptr;
    TstSpeedButton *CalInfo = nullptr;
    TstPanel *FsP = nullptr;
    TmyLabel *myLabel3 = nullptr;
    TstPanel *FTP = nullptr;
    TstGrid *F = nullptr;
    TmyScrollBar *FSB = nullptr;
    TPointListMenu *PointListMenu = nullptr; // F's context menu
    TstSpeedButton *stSpeedButton8 = nullptr;
    TstSpeedButton *BEdit = nullptr;
    TstSpeedButton *BDelete = nullptr;
    TstSpeedButton *stSpeedButton7 = nullptr;
    TstSpeedButton *BSweep = nullptr;
    TstPanel *SP = nullptr;
    TmyLabel *myLabel6 = nullptr;
    TstGauge *G = nullptr;
    TstPanel *FP = nullptr;
    TmyLabel *myLabel5 = nullptr;
    TmyFrequencyEdit *Fq = nullptr;
    TstSpeedButton *stSpeedButton5 = nullptr;
    TstPanel *DMP = nullptr;
    QTimer *T = nullptr;

protected:
    bool CloseQuery() override { return FormCloseQuery(); }
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateComponents();
    // A binding's failure at start-up: no owner, the title text as title.
    static void ShowStartupError(const QString &text);
    void K7DevsDrawCell(QPainter &canvas, int col, int row, const QRect &rect);
    void K7DevsSelectCell(int col, int row, bool &canSelect);
    void GAfterDraw(QPainter &canvas, const QRect &rect);
    // The live level's RAW value on the gauge, with the overlay for it.
    void GShowRaw(std::uint8_t raw);
    void FqKeyDown(int key);
    void FqKeyPress(QChar key);
    void Embed(std::intptr_t moduleWindow);
    bool RedirectDigitKey(QObject *receiver, QEvent *event);
    bool ListNotEmpty() const { return !receiver_.Devices().empty(); }

    TMainFormWindows windows_;
    bool showAllowed_ = false;
    bool shownOnce_ = false;
    std::unique_ptr<QSettings> key_;
    TReceiverConnection receiver_;
    TCalDocument document_;
    TLiveLevel level_{receiver_};
    TLevelOverlay overlay_{receiver_, document_};
    TPointList points_{*this};
    TFileCommands files_{*this};

    bool retuneGuard_ = false;
    bool enterFlag_ = false;
    bool digitFilterInstalled_ = false;
};

// The program's main window, while it exists.
extern TMainForm *MainForm;
