#include "platform/filedialog.h"

#include <QFileDialog>

namespace platform {

namespace {
FileDialogResponder &responder() {
    static FileDialogResponder current;
    return current;
}
} // namespace

FileDialogResponder SetFileDialogResponder(FileDialogResponder newResponder) {
    FileDialogResponder previous = std::move(responder());
    responder() = std::move(newResponder);
    return previous;
}

QString RunFileDialog(const FileDialogRequest &request) {
    if (responder()) return responder()(request);
    QFileDialog dialog(request.owner.data(), request.title);
    // The toolkit's own dialog everywhere: its filters ignore letter case, as
    // "*.CAL" must also list "x.cal", and it adds the default suffix itself.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(request.filter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setSizeGripEnabled(true);
    if (request.kind == FileDialogRequest::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.front();
}

QString AskFileName(QWidget *owner, FileDialogRequest::Kind kind, const QString &title,
                    const QString &filter, const QString &suffix, const QString &fileName) {
    return RunFileDialog({.owner = owner,
                          .kind = kind,
                          .title = title,
                          .filter = filter,
                          .defaultSuffix = suffix,
                          .fileName = fileName});
}

} // namespace platform
