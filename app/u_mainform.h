// The main window: the receiver list and the open receiver, the calibration
// file and frequency point panels, tuning and the live signal level.
//
// It owns the one receiver connection (handle, device list, the demodulator
// module and its embedded window), the one calibration set's handle and
// flags, the current mode and the open registry key. Creating it binds the
// receiver API and the calibration library; when either fails it says so and
// ShowAllowed() answers false, and the program ends without showing it.
#pragma once

#include "app/spectrumlevel.h"
#include "controls/stform.h"
#include "receiver/k74xapi.h"
#include "receiver/qmvhost.h"
#include "receiver/qmvmodule.h"

#include <QPointer>
#include <QSettings>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

class QPainter;
class QTimer;
class TPointListMenu;
class TmyFrequencyEdit;
class TmyLabel;
class TmyScrollBar;
class TstGauge;
class TstGrid;
class TstPanel;
class TstSpeedButton;

// One listed receiver.
struct TDeviceEntry {
    QString Model;     // always "ZX-K740"
    QString Interface; // "USB" or "PCI"
    QString Serial;    // empty for the demo receiver
    bool Opened = false;
};

class TMainForm : public TstForm, private QmvHostClient {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 496;
    static constexpr int kClientHeight = 296;

    explicit TMainForm(QWidget *parent = nullptr);
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

    // Receiver operations.
    void Enumerate();
    void OpenSelectedReceiver();
    void CloseReceiver();
    // Moves the focus out of Fq onto the panel, so that typing is finished.
    void FocusRule(QWidget *panel);
    // Switches the dBm text over the gauge, repainting it on a change.
    void SetOverlay(bool on);

    // The module's spectrum message (0x110B).
    void SpectrumLevel(std::uint32_t span, std::int64_t byteCount, const void *data);

    // State that the other main-window commands share.
    std::int32_t ReceiverHandle() const { return receiverHandle_; }
    std::int32_t CurrentMode() const { return currentMode_; }
    const std::vector<std::unique_ptr<TDeviceEntry>> &Devices() const { return devices_; }
    const TDeviceEntry *OpenedEntry() const { return openedEntry_; }
    const spectrumlevel::LevelConstants &LevelConstants() const { return levelConstants_; }
    bool IsDemo() const { return demo_; }
    QString ReceiverName() const { return receiverName_; }
    bool OverlayShown() const { return overlayShown_; }
    double OverlayDbm() const { return overlayDbm_; }
    std::int32_t PassbandWidth() const { return passbandWidth_; }
    std::int32_t PassbandOffset() const { return passbandOffset_; }
    std::intptr_t ModuleWindow() const { return host_ ? host_->moduleWindow() : 0; }
    QmvModule &Module() { return module_; }
    QSettings *RegistryKey() const { return key_.get(); }

    // The open calibration set (opened by the file commands).
    bool CalLoaded = false;
    bool CalNewFile = false;
    bool CalModified = false;
    QString CalFileName;
    std::int32_t CalHandle = -1;
    int PointCount = 0;
    int SelectedPoint = 0;

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
    void SetupDeviceList();
    void K7DevsDrawCell(QPainter &canvas, int col, int row, const QRect &rect);
    void K7DevsSelectCell(int col, int row, bool &canSelect);
    void GAfterDraw(QPainter &canvas, const QRect &rect);
    void FqKeyDown(int key);
    void FqKeyPress(QChar key);
    void Embed(std::intptr_t moduleWindow);
    bool RedirectDigitKey(QObject *receiver, QEvent *event);
    void FreeDevices();
    void LookupOverlay(std::int32_t mode, std::uint8_t raw);
    void Notify(std::int32_t message, std::intptr_t value1);
    bool AskModified(const QString &question);

    // QmvHostClient.
    std::intptr_t hostWindowHandle() const override { return windowHandle_; }
    std::int32_t currentMode() const override { return currentMode_; }
    void setCurrentMode(std::int32_t mode, bool rebuildPointList) override;
    void setPassbandWidth(std::int32_t width) override { passbandWidth_ = width; }
    void setPassbandOffset(std::int32_t offset) override { passbandOffset_ = offset; }
    void spectrumReceived(std::uint32_t span, std::uint32_t byteCount, const void *data) override;

    bool showAllowed_ = false;
    bool shownOnce_ = false;
    std::unique_ptr<QSettings> key_;
    K74xapi api_;
    QmvModule module_;
    std::unique_ptr<QmvHost> host_;
    std::intptr_t windowHandle_ = 0;

    std::int32_t currentMode_ = -1;
    std::int32_t receiverHandle_ = 0;
    std::vector<std::unique_ptr<TDeviceEntry>> devices_;
    bool listNotEmpty_ = false;
    TDeviceEntry *openedEntry_ = nullptr;
    QString serial_;
    bool demo_ = false;
    spectrumlevel::LevelConstants levelConstants_;
    QString receiverName_;

    bool retuneGuard_ = false;
    bool enterFlag_ = false;
    std::int32_t passbandWidth_ = 0;
    std::int32_t passbandOffset_ = 0;
    bool overlayShown_ = false;
    double overlayDbm_ = 0.0;
    bool digitFilterInstalled_ = false;
};

// The program's main window, while it exists.
extern TMainForm *MainForm;
