// Message boxes for a program without windows: a command-line tool that uses
// the layers whose failures are shown in boxes installs this responder, and
// each box becomes a line "program: text" on standard error, answered as the
// user would dismiss it (Ok, or No for a question).
#pragma once

#include <QString>

namespace platform {

void RouteMessageBoxesToStandardError(const QString &programName);

} // namespace platform
