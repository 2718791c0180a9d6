// Every file open and save dialog of the program is built here, so that tests
// can answer them: a responder installed by a test sees each request instead
// of the user and answers the chosen path (empty: cancelled).
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

namespace platform {

struct FileDialogRequest {
    enum Kind { Open, Save };
    Kind kind = Open;
    QPointer<QWidget> owner;
    QString title;
    QString filter;        // Qt form: "CSV files (*.csv)", several separated by ";;"
    QString defaultSuffix; // added to a typed name without one: "csv"
    QString fileName;      // proposed file (Save) or starting folder and file
    // Open: the file must exist. Save: an existing file is replaced only
    // after the user confirmed it.
};

using FileDialogResponder = std::function<QString(const FileDialogRequest &)>;

// Runs a modal, resizable file dialog and answers the chosen path, or an
// empty text when the user cancelled.
QString ShowFileDialog(const FileDialogRequest &request);

// Installs a responder (an empty one restores the real dialogs). Returns the
// previous one.
FileDialogResponder SetFileDialogResponder(FileDialogResponder responder);

} // namespace platform
