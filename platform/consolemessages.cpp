#include "platform/consolemessages.h"

#include "platform/messagebox.h"

#include <cstdio>

namespace platform {

void RouteMessageBoxesToStandardError(const QString &programName) {
    SetMessageBoxResponder([programName](const MessageBoxRequest &request) {
        // A box's text may span lines; each gets the program's name.
        const QByteArray prefix = programName.toLocal8Bit() + ": ";
        for (const QString &line : request.text.split(QLatin1Char('\n')))
            std::fputs((prefix + line.toLocal8Bit() + '\n').constData(), stderr);
        std::fflush(stderr);
        if (request.buttons & QMessageBox::Ok) return QMessageBox::Ok;
        if (request.buttons & QMessageBox::No) return QMessageBox::No;
        return QMessageBox::Cancel;
    });
}

} // namespace platform
