// The "Calibration Table File" panel of the main window: New, Open, Save and
// Details on the window's calibration document, with the open and save
// dialogs, the title with the file name, and the enabling of the panels that
// follows the set's life.
//
// The flags themselves (loaded, new-file, modified, file name, handle) live
// in the document (calibration/caldocument.h); the point list (app/pointlist.h) is
// refreshed after New and a successful Open.
#pragma once

#include "platform/filedialog.h"

#include <QString>

class TMainForm;

class TFileCommands {
public:
    // The dialogs' title and filter texts.
    static const QString kOpenTitle;
    static const QString kSaveTitle;
    static const QString kFilter;
    static const QString kDefaultSuffix;

    explicit TFileCommands(TMainForm &form);

    void New();
    void Open();
    void Save();
    void Details();

    // The title label with the document's file name.
    void ShowTitleWithFileName();

private:
    // A set is open: its panel, Save and Details usable, the title and the
    // list showing it.
    void ShowSet();

    TMainForm &form_;
};
