// The C interface of hhctrl.ocx: the commands of HtmlHelpA around the one
// viewer window.
#include "hhctrl.h"
#include "hhctrl_test.h"

#include "chmfile.h"
#include "helpviewer.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

#include <algorithm>
#include <cstring>
#include <string>

using namespace hhctrl;

namespace {

QPointer<HelpViewer> gViewer;
// HH_INITIALIZE's cookie; this viewer needs no per-caller state.
constexpr uint32_t kCookie = 1;
std::string gLastError;
std::string gCallLog;
constexpr size_t kCallLogLimit = 1 << 20;

void record(uint32_t command, const char *file) noexcept {
    try {
        if (gCallLog.size() >= kCallLogLimit) return;
        gCallLog += "HtmlHelpA " + std::to_string(command);
        if (file) {
            gCallLog += ' ';
            gCallLog += file;
        }
        gCallLog += '\n';
    } catch (...) {
    }
}

int32_t copyOut(const std::string &text, char *buffer, int32_t bufferSize) {
    if (buffer && bufferSize > 0) {
        const size_t n = std::min(text.size(), size_t(bufferSize - 1));
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return int32_t(std::min(text.size(), size_t(INT32_MAX)));
}

bool haveApplication() {
    return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr;
}

intptr_t refuse(const QString &reason) {
    gLastError = reason.toStdString();
    return 0;
}

intptr_t displayTopic(const char *argument) {
    if (!argument || !*argument) return refuse(QStringLiteral("No help file was named."));
    if (!haveApplication())
        return refuse(QStringLiteral("The help viewer needs a running Qt application."));
    // "file.chm::/page.html" names a page inside the file.
    QString path = QFile::decodeName(argument);
    QString topic;
    const qsizetype split = path.lastIndexOf(QLatin1String("::"));
    if (split > 0 && path.mid(split + 2).startsWith(QLatin1Char('/'))) {
        topic = path.mid(split + 2);
        path.truncate(split);
    }
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (!gViewer || canonical.isEmpty() ||
        QFileInfo(gViewer->file().path()).canonicalFilePath() != canonical) {
        QString error;
        auto file = ChmFile::Open(path, error);
        if (!file) return refuse(error);
        if (gViewer)
            gViewer->setFile(std::move(file));
        else
            gViewer = new HelpViewer(std::move(file));
    }
    gViewer->showTopic(topic);
    gViewer->show();
    if (gViewer->isMinimized()) gViewer->showNormal();
    gViewer->raise();
    gViewer->activateWindow();
    gLastError.clear();
    return intptr_t(gViewer->winId());
}

[[maybe_unused]] intptr_t htmlHelp(const char *file, uint32_t command, uintptr_t data) {
    try {
        record(command, file);
        switch (command) {
        case HH_INITIALIZE:
            if (!haveApplication()) return 0;
            if (data) *reinterpret_cast<uint32_t *>(data) = kCookie;
            return 1;
        case HH_DISPLAY_TOPIC:
            return displayTopic(file);
        case HH_CLOSE_ALL:
            delete gViewer.data();
            return 1;
        default:
            return 0;
        }
    } catch (...) {
        gLastError = "The help viewer ran out of memory.";
        return 0;
    }
}

} // namespace

extern "C" {

// The test build without the entry point stands for a component the caller
// must refuse.
#ifndef HHCTRL_WITHOUT_HTMLHELPA
K740_EXPORT intptr_t HtmlHelpA(intptr_t, const char *file, uint32_t command, uintptr_t data) {
    return htmlHelp(file, command, data);
}
#endif

K740_EXPORT int32_t HhctrlLastError(char *buffer, int32_t bufferSize) {
    return copyOut(gLastError, buffer, bufferSize);
}

K740_EXPORT int32_t HhctrlTestCallLog(char *buffer, int32_t bufferSize) {
    return copyOut(gCallLog, buffer, bufferSize);
}

K740_EXPORT void HhctrlTestClearCallLog(void) {
    gCallLog.clear();
}

} // extern "C"
