// The "Calibration Table File" panel of the main window: New, Open, Save and
// Details on the calibration document, with the open and save dialogs, the
// title with the file name, and the enabling of the panels that follows the
// set's life.
//
// The flags themselves (loaded, new-file, modified, file name, handle) live
// in the document (calibration/caldocument.h); the point list is refreshed
// after New and a successful Open.
#pragma once

#include <QString>

class QWidget;
class TCalDocument;
class TCalInfoForm;
class TMainFormServices;
class TPointList;
class TstPanel;
class TstSpeedButton;

// What the file commands work on: the window, the document, the point list,
// the details dialog and the controls the commands enable.
struct TFileCommandParts {
    TMainFormServices &Window;
    TCalDocument &Document;
    TPointList &Points;
    TCalInfoForm &Details;
    TstPanel &FiP;      // the panel of the commands (the focus rule of New and Save)
    TstPanel &stPanel1; // the window's outer panel (the focus rule of Details)
    TstPanel &FsP;      // the point list's panel, usable once a set exists
    TstSpeedButton &BSave;
    TstSpeedButton &CalInfo;
};

class TFileCommands {
public:
    // The dialogs' title and filter texts.
    static const QString kOpenTitle;
    static const QString kSaveTitle;
    static const QString kFilter;
    static const QString kDefaultSuffix;

    explicit TFileCommands(const TFileCommandParts &parts);

    void New();
    void Open();
    void Save();
    void Details();

private:
    // A set is open: its panel, Save and Details usable, the title and the
    // list showing it.
    void ShowSet();
    // The open or save dialog's request.
    QString AskFile(bool save, const QString &fileName) const;

    TFileCommandParts parts_;
};
