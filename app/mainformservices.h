// TMainFormServices: what the main window's command units (the file commands
// and the point list) ask of the window itself. They hold the controls of
// their panel and the parts they work on by reference, and reach the window
// only through this interface, so none of them includes the window.
#pragma once

#include <QString>

class QWidget;

class TMainFormServices {
public:
    // The focus rule: when the tuned-frequency field has the keyboard focus,
    // `panel` takes it (if enabled and shown), so that a frequency being
    // typed is finished before the command.
    virtual void FocusRule(QWidget *panel) = 0;
    // Whether a command that drops the set may go on: true when nothing
    // unsaved would be lost, else the answer to "Calibration table is
    // modified and not saved.\n" + question (Yes goes on).
    virtual bool ConfirmDropSet(const QString &question, bool yesByDefault = false) = 0;
    // The title bar shows the set's file name.
    virtual void ShowFileInTitle(const QString &fileName) = 0;
    // The window that owns the commands' message boxes and file dialogs.
    virtual QWidget *Owner() = 0;

protected:
    ~TMainFormServices() = default;
};
