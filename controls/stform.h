// The borderless window frame that every window of the program derives from.
//
// The window has no native border or title. The frame builds, as the
// window's own components:
//   ClientPanel  a raised panel filling the window; holds the window's controls
//   TopPanel     the title bar, aligned to the top of ClientPanel
//   LCaption     the caption text on the title bar (a copy of the window caption)
//   ButtonPanel  the title bar's button panel, aligned right
//   SysBtnClose  the close cross on ButtonPanel (SysBtnCloseClick)
// A left press on the title bar (caption text included, button panel and its
// buttons excluded) moves the window: QWindow::startSystemMove(), or, where
// the platform cannot, the window follows the mouse until the release. The
// title bar is coloured by the window's activation.
//
// A press in a window that is not active raises and activates it (without a
// window manager nothing else would). Hiding the window gives the keyboard
// focus back to the control that had it
// when the window was shown, in its window brought to the front.
//
// A derived window passes its caption to the constructor, places its controls
// on ClientPanel (below the title bar) and, for a dialog, runs it with
// ShowModal(). The variants:
//   TFrameKind::fkDialog      the skeleton above, as every dialog has it
//   TFrameKind::fkMainWindow  client panel "stPanel1" with bevel 4 and no
//                             Abbreviate, title panel "Panel", LCaption 388
//                             wide without auto-size, ButtonPanel 92 wide and
//                             no SysBtnClose: the main window adds its own
//                             title bar buttons with AddTitleButton()
//   TFrameKind::fkClientOnly  only the client panel, no title bar
#pragma once

#include "controls/mylabel.h"
#include "controls/stpanel.h"
#include "controls/stspeedbutton.h"
#include "platform/focusreturn.h"

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <functional>

class QEventLoop;

enum class TFrameKind { fkDialog, fkMainWindow, fkClientOnly };

// The results of a modal run.
enum TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7
};

class TstForm;

// Answers a modal run in place of the user (tests): called with the form
// shown; its answer is the run's result unless the form got one meanwhile.
using TModalResponder = std::function<int(TstForm &form)>;

class TstForm : public QWidget {
    Q_OBJECT
public:
    // Frame colours, toolkit colour numbers.
    static constexpr TColor kWindowColor = 4342338;      // RGB 66, 66, 66
    static constexpr TColor kActiveTitle = 10043437;     // RGB 45, 64, 153
    static constexpr TColor kInactiveTitle = 5395026;    // RGB 82, 82, 82
    static constexpr TColor kActiveCaption = 16777215;   // white
    static constexpr TColor kInactiveCaption = 12632256; // RGB 192, 192, 192
    static constexpr TColor kTitleButtonFace = 6513507;  // RGB 99, 99, 99

    explicit TstForm(const QString &caption, TFrameKind kind = TFrameKind::fkDialog,
                     QWidget *parent = nullptr);
    ~TstForm() override;

    TFrameKind FrameKind() const { return kind_; }

    // The window's background colour; ClientPanel takes it.
    TColor Color() const { return color_; }
    void SetColor(TColor value);

    // Resizes the window and lays its frame out at once. (A hidden widget
    // gets no resize event: after a plain resize() the frame follows when the
    // window is shown.)
    void SetSize(int width, int height);
    // Lays the window's aligned children out again.
    void Realign();

    // A title bar button on ButtonPanel at (left, 1), `width` by 14: face
    // 6513507 in every state but disabled (the system button face), lime
    // glyph and caption, no border.
    TstSpeedButton *AddTitleButton(int left, int width);

    // Closes the window; a modal run ends as cancelled.
    void SysBtnCloseClick();

    // Shows the window modally and returns its modal result once it is set
    // (mrCancel when the window is closed). A modal result that CloseQuery()
    // refuses is reset and the run goes on.
    int ShowModal();
    bool IsModalRun() const { return modalRun_; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int value);

    // Installs the responder for every modal run; returns the previous one.
    static TModalResponder SetModalResponder(TModalResponder responder);

    // Whether the title bar shows the active colours.
    bool ShowsActive() const { return showsActive_; }

    TstPanel *ClientPanel = nullptr;
    TstPanel *TopPanel = nullptr;
    TmyLabel *LCaption = nullptr;
    TstPanel *ButtonPanel = nullptr;
    TstSpeedButton *SysBtnClose = nullptr;

protected:
    // Whether the window may close now; the window's FormCloseQuery.
    virtual bool CloseQuery() { return true; }

    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildTitleBar();
    void UpdateActivationColors();
    bool TitleBarMouse(QEvent *event);

    TFrameKind kind_;
    TColor color_ = kWindowColor;
    bool showsActive_ = true;

    // Title bar drag without the platform's move loop.
    bool dragging_ = false;
    QPoint dragStartGlobal_;
    QPoint dragStartPos_;

    // The control that had the focus when the window was shown gets it back
    // when the window is hidden (a dialog's run, a window closed).
    platform::TFocusReturn openerFocus_;

    bool modalRun_ = false;
    int modalResult_ = mrNone;
    QEventLoop *modalLoop_ = nullptr;
};
