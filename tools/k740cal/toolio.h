// How k740cal's commands talk: results on standard output, messages on
// standard error prefixed with the program's name.
#pragma once

#include <QByteArray>
#include <QString>

namespace K740cal {

void ToolOut(const QByteArray &bytes);
void ToolOut(const QString &text);
// "k740cal: text" on standard error.
void ToolMessage(const QString &text);
// The message and the hint to --help; answers the usage exit status.
int ToolUsageError(const QString &text);

} // namespace K740cal
