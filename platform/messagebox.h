// Every message box of the program is built here, so that tests can answer
// them: a responder installed by a test sees each box instead of the user.
#pragma once

#include "platform/result.h"

#include <QMessageBox>
#include <QPointer>
#include <QString>

#include <functional>

namespace platform {

struct MessageBoxRequest {
    QPointer<QWidget> owner; // null: no owner (a box of the application itself)
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

using MessageBoxResponder = std::function<QMessageBox::StandardButton(const MessageBoxRequest &)>;

// Shows a modal box and answers the button pressed (Escape or closing answers
// the escape button Qt picks, usually Cancel or No).
QMessageBox::StandardButton ShowMessageBox(const MessageBoxRequest &request);

// Shorthands for the boxes the program uses.
void ShowError(QWidget *owner, const QString &text, const QString &title = QStringLiteral("Error"));
bool AskConfirmation(QWidget *owner, const QString &text); // "Confirmation", Yes/No, true on Yes
void ShowInformation(QWidget *owner, const QString &text, const QString &title);
// The error box of a failed result (nothing for success, nor for a failure
// without a message); answers result.Ok(). The result's held-back clean-up
// runs when the caller lets it go, after the box.
bool ShowFailure(QWidget *owner, const TResult &result);

// Installs a responder (an empty one restores the real boxes). Returns the
// previous one.
MessageBoxResponder SetMessageBoxResponder(MessageBoxResponder responder);

} // namespace platform
