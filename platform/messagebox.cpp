#include "platform/messagebox.h"

namespace platform {

namespace {
MessageBoxResponder &responder() {
    static MessageBoxResponder current;
    return current;
}
} // namespace

MessageBoxResponder SetMessageBoxResponder(MessageBoxResponder newResponder) {
    MessageBoxResponder previous = std::move(responder());
    responder() = std::move(newResponder);
    return previous;
}

QMessageBox::StandardButton ShowMessageBox(const MessageBoxRequest &request) {
    if (responder()) return responder()(request);
    QMessageBox box(request.icon, request.title, request.text, request.buttons,
                    request.owner.data());
    if (request.defaultButton != QMessageBox::NoButton) box.setDefaultButton(request.defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void ShowError(QWidget *owner, const QString &text, const QString &title) {
    ShowMessageBox({owner, text, title, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok});
}

bool AskConfirmation(QWidget *owner, const QString &text) {
    return ShowMessageBox({owner, text, QStringLiteral("Confirmation"), QMessageBox::Question,
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes}) ==
           QMessageBox::Yes;
}

void ShowInformation(QWidget *owner, const QString &text, const QString &title) {
    ShowMessageBox(
        {owner, text, title, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok});
}

bool ShowFailure(QWidget *owner, const TResult &result) {
    if (!result.Ok() && !result.Message().isEmpty()) ShowError(owner, result.Message());
    return result.Ok();
}

} // namespace platform
