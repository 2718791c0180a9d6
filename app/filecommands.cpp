#include "app/filecommands.h"

#include "app/mainformservices.h"
#include "app/pointlist.h"
#include "calibration/caldocument.h"
#include "controls/stpanel.h"
#include "controls/stspeedbutton.h"
#include "dialogs/u_calinfoform.h"
#include "platform/filedialog.h"
#include "platform/messagebox.h"

const QString TFileCommands::kOpenTitle = QStringLiteral("Open S-Meter Calibration Table");
const QString TFileCommands::kSaveTitle = QStringLiteral("Save S-Meter Calibration Table");
const QString TFileCommands::kFilter = QStringLiteral("S-Meter Calibration Table Files (*.CAL)");
const QString TFileCommands::kDefaultSuffix = QStringLiteral("cal");

TFileCommands::TFileCommands(const TFileCommandParts &parts) : parts_(parts) {}

void TFileCommands::ShowSet() {
    parts_.FsP.SetEnabled(true);
    parts_.BSave.setEnabled(true);
    parts_.CalInfo.setEnabled(true);
    parts_.Window.ShowFileInTitle(parts_.Document.FileName());
    parts_.Points.Refresh();
}

QString TFileCommands::AskFile(bool save, const QString &fileName) const {
    return platform::AskFileName(parts_.Window.Owner(),
                                 save ? platform::FileDialogRequest::Save
                                      : platform::FileDialogRequest::Open,
                                 save ? kSaveTitle : kOpenTitle, kFilter, kDefaultSuffix, fileName);
}

void TFileCommands::New() {
    parts_.Window.FocusRule(&parts_.FiP);
    if (!parts_.Window.ConfirmDropSet(QStringLiteral("Create new empty calibration table?"), true))
        return;
    parts_.Document.New();
    ShowSet();
}

void TFileCommands::Open() {
    if (!parts_.Window.ConfirmDropSet(QStringLiteral("Open calibration table file?"), true)) return;
    const QString path = AskFile(false, QString());
    if (path.isEmpty()) return;
    // A file that does not load leaves the open set as it was, still usable.
    if (!platform::ShowFailure(parts_.Window.Owner(), parts_.Document.Open(path))) return;
    ShowSet();
}

void TFileCommands::Save() {
    parts_.Window.FocusRule(&parts_.FiP);
    TCalDocument &document = parts_.Document;
    const QString path =
        AskFile(true, document.IsNewFile() ? QString::fromLatin1(TCalDocument::kNewFileName)
                                           : document.FileName());
    if (path.isEmpty()) return;
    if (platform::ShowFailure(parts_.Window.Owner(), document.Save(path)))
        parts_.Window.ShowFileInTitle(document.FileName());
}

void TFileCommands::Details() {
    parts_.Window.FocusRule(&parts_.stPanel1);
    parts_.Details.ShowDetails(parts_.Document.Handle(), parts_.Window.Owner());
}
