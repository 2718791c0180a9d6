// The main window: the receiver list and the open receiver, the calibration
// file and frequency point panels, tuning and the live signal level.
//
// It is handed the parts below the windows by the program that owns them
// (TMainFormParts): the receiver connection (the receiver API, the module,
// open and close), the calibration document (the one set's handle, flags
// and file name), the live level (the RAW value, as a signal), the dBm
// overlay over the gauge, the point list model, and the dialogs its commands
// run. The commands of two panels live in units of their own that hold the
// controls of their panel: the file commands (TFileCommands: New, Open, Save,
// Details) and the point list (TPointList: the list F and Add, Edit, Delete,
// copy from another mode, Sweep); they reach the window only through
// TMainFormServices. The window itself does the construction of its
// controls, its lifecycle, placement, title, the digit-key redirection and
// the handlers that join these parts.
//
// Creating it binds the receiver API and the calibration library; when
// either fails it says so and ShowAllowed() answers false, and the program
// ends without showing it.
#pragma once

#include "app/mainformservices.h"
#include "controls/stform.h"

#include <QSettings>
#include <QWidget>

#include <cstdint>
#include <memory>

class QPainter;
class QTimer;
class TAddFqForm;
class TAddPointsForm;
class TCalDocument;
class TCalInfoForm;
class TCopyForm;
class TFileCommands;
class TLevelOverlay;
class TLiveLevel;
class TmyFrequencyEdit;
class TmyLabel;
class TmyScrollBar;
class TPointList;
class TPointListModel;
class TProofCommands;
class TReceiverConnection;
class TstGauge;
class TstGrid;
class TstPanel;
class TstSpeedButton;
class TSweepForm;
class TTableForm;
class TVerifyForm;

// What the main window works with beyond its own controls. The parts below
// the windows exist before the window; the dialogs are created after it (the
// program creates the main window first), and the window runs none of them
// before its constructor has returned. All of them outlive the window.
struct TMainFormParts {
    TReceiverConnection &Receiver;
    TCalDocument &Document;
    TLiveLevel &Level;
    TLevelOverlay &Overlay;
    TPointListModel &Points;
    TAddFqForm &AddFq;
    TAddPointsForm &AddPoints;
    TCalInfoForm &CalInfo;
    TCopyForm &Copy;
    TTableForm &Table;
    TSweepForm &Sweep;
    TVerifyForm &Verify;
};

class TMainForm : public TstForm, private TMainFormServices {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 496;
    static constexpr int kClientHeight = 296;

    explicit TMainForm(const TMainFormParts &parts, QWidget *parent = nullptr);
    ~TMainForm() override;

    // Whether FormCreate bound both libraries, so that the window may be shown.
    bool ShowAllowed() const { return showAllowed_; }

    // "S-Meter Calibrator for ZX-K740".
    static QString TitleText();
    // The title followed by a file text in brackets, the file text shortened
    // from its front until the whole fits the label's width.
    static QString TitleWithFileName(const QString &fileText, const QWidget &label);

protected:
    bool CloseQuery() override { return FormCloseQuery(); }
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
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
    void stSpeedButton3Click();
    void stSpeedButton4Click();
    void BSaveClick();
    void CalInfoClick();
    // "Frequencies".
    void stSpeedButton8Click();
    void BAddPointsClick();
    void BEditClick();
    void BDeleteClick();
    void stSpeedButton7Click();
    void BSweepClick();
    void BVerifyClick();
    // The calibration report of the open set.
    void BReportClick();

    // TMainFormServices.
    void FocusRule(QWidget *panel) override;
    bool ConfirmDropSet(const QString &question, bool yesByDefault = false) override;
    void ShowFileInTitle(const QString &fileName) override;
    QWidget *Owner() override { return this; }

    void CreateComponents();
    void RestoreTitle();
    // Receiver operations.
    void Enumerate();
    void OpenSelectedReceiver();
    void CloseReceiver();
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
    bool ListNotEmpty() const;

    TMainFormParts parts_;
    std::unique_ptr<QSettings> key_;
    std::unique_ptr<TProofCommands> proof_;
    std::unique_ptr<TPointList> points_;
    std::unique_ptr<TFileCommands> files_;
    bool showAllowed_ = false;
    bool shownOnce_ = false;
    bool retuneGuard_ = false;
    bool enterFlag_ = false;
    bool digitFilterInstalled_ = false;

    // Components (named as the window's designer named them) that are used
    // after they are made; the others live in CreateComponents.
    TstPanel *Panel = nullptr; // the frame's title bar (TopPanel)
    TstPanel *DevPanel = nullptr;
    TstGrid *K7Devs = nullptr;
    TmyScrollBar *SB = nullptr;
    TstGrid *D = nullptr;
    TstSpeedButton *BSelect = nullptr;
    TstSpeedButton *BClose = nullptr;
    TstPanel *FiP = nullptr;
    TstSpeedButton *BSave = nullptr;
    TstSpeedButton *CalInfo = nullptr;
    TstPanel *FsP = nullptr;
    TstGrid *F = nullptr;
    TstSpeedButton *BReport = nullptr;
    TstPanel *SP = nullptr;
    TstGauge *G = nullptr;
    TstPanel *FP = nullptr;
    TmyFrequencyEdit *Fq = nullptr;
    TstPanel *DMP = nullptr;
    QTimer *T = nullptr;
};
