// TProgramWindows: the program's windows, created once and owned here. They
// are created in the program's order (the main window, then the add-frequency,
// details, copy, value, fill, frequency-select, graph, device-search, table
// editor and sweep windows) and destroyed in the reverse order; each window
// is handed the others it works with by reference, and they meet through
// signals: the live level's RAW value reaches the table editor and the sweep
// window, the device-search window's Hidden activates the main window.
#pragma once

#include "app/u_mainform.h"
#include "app/u_searchadform.h"
#include "dialogs/pointlistmodel.h"
#include "dialogs/u_addfqform.h"
#include "dialogs/u_calinfoform.h"
#include "dialogs/u_copyform.h"
#include "dialogs/u_editvalform.h"
#include "dialogs/u_fillform.h"
#include "dialogs/u_fselectform.h"
#include "dialogs/u_sweepform.h"
#include "dialogs/u_tableform.h"
#include "graph/u_graphform.h"

class TProgramWindows {
public:
    TProgramWindows();
    TProgramWindows(const TProgramWindows &) = delete;
    TProgramWindows &operator=(const TProgramWindows &) = delete;

    TMainForm &Main() { return main_; }

private:
    // Declared in the order of creation. The main window and the table editor
    // are handed windows that are created after them; neither uses them
    // before its constructor has returned.
    TPointListModel points_;
    TMainForm main_;
    TAddFqForm addFq_;
    TCalInfoForm calInfo_;
    TCopyForm copy_;
    TEditValForm editVal_;
    TFillForm fill_;
    TFSelectForm fSelect_;
    TGraphForm graph_;
    TSearchADForm searchAD_;
    TTableForm table_;
    TSweepForm sweep_;
};
