#include "toolio.h"

#include "k740cal.h"

#include <cstdio>

namespace K740cal {

void ToolOut(const QByteArray &bytes) {
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void ToolOut(const QString &text) {
    ToolOut(text.toUtf8());
}

void ToolMessage(const QString &text) {
    std::fputs(QStringLiteral("k740cal: %1\n").arg(text).toLocal8Bit().constData(), stderr);
}

int ToolUsageError(const QString &text) {
    ToolMessage(text);
    ToolMessage(QStringLiteral("try 'k740cal --help'"));
    return kUsage;
}

} // namespace K740cal
