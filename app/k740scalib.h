// The program. RunK740scalib runs it; TProgram is the running program, the
// one object that owns its parts and its windows. The parts below the windows come first: the
// receiver connection, the calibration document, the live level with the dBm overlay, and the point
// list model. Then the windows, created once in the program's order (the main window, then the
// add-frequency, add-points, details, copy, value, fill, frequency-select, graph, device-search,
// table editor, sweep and verification windows) and destroyed in the reverse order. Each window is
// handed what it works with by reference; no window creates, frees or looks up another. The windows
// meet through signals: the live level's RAW value reaches the table editor, the sweep and the
// verification windows, the device-search window's Hidden activates the main window.
#pragma once

#include "app/leveloverlay.h"
#include "app/u_searchadform.h"
#include "calibration/caldocument.h"
#include "dialogs/pointlistmodel.h"
#include "dialogs/u_addfqform.h"
#include "dialogs/u_addpointsform.h"
#include "dialogs/u_calinfoform.h"
#include "dialogs/u_copyform.h"
#include "dialogs/u_editvalform.h"
#include "dialogs/u_fillform.h"
#include "dialogs/u_fselectform.h"
#include "dialogs/u_sweepform.h"
#include "dialogs/u_tableform.h"
#include "dialogs/u_verifyform.h"
#include "graph/u_graphform.h"
#include "receiver/livelevel.h"
#include "receiver/receiverconnection.h"

#include <memory>

class TMainForm;

class TProgram {
public:
    TProgram();
    ~TProgram();
    TProgram(const TProgram &) = delete;
    TProgram &operator=(const TProgram &) = delete;

    TMainForm &MainForm() { return *main_; }

    // The parts the windows share.
    TReceiverConnection &Receiver() { return receiver_; }
    TCalDocument &Document() { return document_; }
    TLiveLevel &Level() { return level_; }
    const TLevelOverlay &Overlay() const { return overlay_; }
    const TPointListModel &Points() const { return points_; }

private:
    // Declared in the order of creation. The main window and the table editor
    // are handed windows that are created after them; neither uses them
    // before its constructor has returned.
    TReceiverConnection receiver_;
    TCalDocument document_;
    TLiveLevel level_{receiver_};
    TLevelOverlay overlay_{receiver_, document_};
    TPointListModel points_;
    // The one window the program shows itself; the others open from it.
    std::unique_ptr<TMainForm> main_;
    TAddFqForm addFq_;
    TAddPointsForm addPoints_;
    TCalInfoForm calInfo_;
    TCopyForm copy_;
    TEditValForm editVal_;
    TFillForm fill_;
    TFSelectForm fSelect_;
    TGraphForm graph_;
    TSearchADForm searchAD_;
    TTableForm table_;
    TSweepForm sweep_;
    TVerifyForm verify_;
};

// Runs the program on the application object that exists: the title, the
// program's parts and windows, the main window shown only when it could bind
// both libraries (otherwise the program ends at once with a non-zero exit
// status), the message loop. Answers the exit status.
int RunK740scalib();
