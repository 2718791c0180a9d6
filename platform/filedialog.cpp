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

QString ShowFileDialog(const FileDialogRequest &request) {
    if (responder()) return responder()(request);
    QFileDialog dialog(request.owner.data(), request.title);
    dialog.setNameFilter(request.filter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (request.kind == FileDialogRequest::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace platform
