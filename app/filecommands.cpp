#include "app/filecommands.h"

#include "app/u_mainform.h"
#include "controls/stpanel.h"
#include "controls/stspeedbutton.h"
#include "dialogs/u_calinfoform.h"
#include "platform/messagebox.h"

const QString TFileCommands::kOpenTitle = QStringLiteral("Open S-Meter Calibration Table");
const QString TFileCommands::kSaveTitle = QStringLiteral("Save S-Meter Calibration Table");
const QString TFileCommands::kFilter = QStringLiteral("S-Meter Calibration Table Files (*.CAL)");
const QString TFileCommands::kDefaultSuffix = QStringLiteral("cal");

TFileCommands::TFileCommands(TMainForm &form) : form_(form) {}

void TFileCommands::ShowTitleWithFileName() {
    form_.LCaption->SetCaption(
        TMainForm::TitleWithFileName(form_.Document().FileName(), *form_.LCaption));
}

void TFileCommands::ShowSet() {
    form_.FsP->SetEnabled(true);
    form_.BSave->setEnabled(true);
    form_.CalInfo->setEnabled(true);
    ShowTitleWithFileName();
    form_.Points().Refresh();
}

void TFileCommands::New() {
    form_.FocusRule(form_.FiP);
    if (!form_.ConfirmDropSet(QStringLiteral("Create new empty calibration table?"), true)) return;
    form_.Document().New();
    ShowSet();
}

void TFileCommands::Open() {
    if (!form_.ConfirmDropSet(QStringLiteral("Open calibration table file?"), true)) return;
    platform::FileDialogRequest request;
    request.owner = &form_;
    request.kind = platform::FileDialogRequest::Open;
    request.title = kOpenTitle;
    request.filter = kFilter;
    request.defaultSuffix = kDefaultSuffix;
    const QString path = platform::RunFileDialog(request);
    if (path.isEmpty()) return;
    // A file that does not load leaves the open set as it was, still usable.
    if (!platform::ShowFailure(&form_, form_.Document().Open(path))) return;
    ShowSet();
}

void TFileCommands::Save() {
    form_.FocusRule(form_.FiP);
    TCalDocument &document = form_.Document();
    platform::FileDialogRequest request;
    request.owner = &form_;
    request.kind = platform::FileDialogRequest::Save;
    request.title = kSaveTitle;
    request.filter = kFilter;
    request.defaultSuffix = kDefaultSuffix;
    request.fileName = document.IsNewFile() ? QString::fromLatin1(TCalDocument::kNewFileName)
                                            : document.FileName();
    const QString path = platform::RunFileDialog(request);
    if (path.isEmpty()) return;
    if (platform::ShowFailure(&form_, document.Save(path))) ShowTitleWithFileName();
}

void TFileCommands::Details() {
    form_.FocusRule(form_.stPanel1);
    form_.Windows().CalInfo.ShowDetails(form_.Document().Handle(), &form_);
}
