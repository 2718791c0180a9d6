// The program's help: the help file beside the executable, shown by the
// platform's HTML help component hhctrl.ocx through its entry point
// HtmlHelpA. The component is loaded on the first press of "Help" and kept
// until the main window is destroyed; a load that found no entry point is
// undone, so the next press tries again.
#pragma once

#include <QString>

class QWidget;

class HelpFile {
public:
    // The help file's path: the executable's folder (the loader's search
    // folder, which tests may move), the platform's separator and
    // "K740scalib.chm".
    static QString Path();

    // Shows the help file in the viewer, loading and initialising the
    // component first if needed. Every failure is told in an error box
    // owned by `owner` and leaves the state as it was.
    static void Show(QWidget *owner);

    // Closes every help window and unloads the component, if it was loaded.
    static void Close();

    static bool IsLoaded();
};
