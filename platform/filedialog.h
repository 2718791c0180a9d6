// The program's open and save file dialogs, built in one place so that tests
// can answer them: a responder installed by a test sees each request instead
// of the user and answers the chosen path (an empty text for Cancel).
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

namespace platform {

struct FileDialogRequest {
    enum Kind { Open, Save };
    QPointer<QWidget> owner;
    Kind kind = Open;
    QString title;
    // One filter in the toolkit's form: "Description (*.ext)".
    QString filter;
    // Added to a typed name without an extension ("cal").
    QString defaultSuffix;
    // The name the dialog starts with (Save); may carry a folder.
    QString fileName;
};

using FileDialogResponder = std::function<QString(const FileDialogRequest &)>;

// Runs the dialog modally. Open accepts only an existing file; Save asks
// before it overwrites one. Answers the chosen path, or an empty text when
// the user cancelled.
QString RunFileDialog(const FileDialogRequest &request);
// RunFileDialog for one type of file: `filter` and `suffix` as the request's
// filter and defaultSuffix.
QString AskFileName(QWidget *owner, FileDialogRequest::Kind kind, const QString &title,
                    const QString &filter, const QString &suffix,
                    const QString &fileName = QString());

// Installs a responder (an empty one restores the real dialogs). Returns the
// previous one.
FileDialogResponder SetFileDialogResponder(FileDialogResponder responder);

} // namespace platform
