// The module's entry points. One session at a time; everything runs on the
// host's GUI thread. Compile definitions build the test variants:
//   K740DEMOD_NO_DONE      the library exports no qmvPluginDone
//   K740DEMOD_INIT_FAILS   qmvPluginInit answers 0
//   K740DEMOD_NO_WINDOW    qmvPluginStart answers no window and stays silent
//   K740DEMOD_NO_NOTIFY    the library exports no qmvPluginNotify
#include "k740demod.h"
#include "k740demod_test.h"

#include "demodsession.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr std::int32_t ModuleVersion = 0x0100;

std::string &callLog() {
    static std::string log;
    return log;
}

void logCall(const std::string &line) {
    try {
        callLog() += line;
        callLog() += '\n';
    } catch (...) {
    }
}

QString &hostName() {
    static QString name;
    return name;
}

DemodSession *&session() {
    static DemodSession *current = nullptr;
    return current;
}

// Ends the running session; the host hears nothing of it.
void endSession() {
    DemodSession *s = session();
    session() = nullptr;
    if (!s) return;
    s->stop();
    // Still on the stack when the host stops us from inside one of our calls.
    if (s->isCallingHost())
        s->deleteLater();
    else
        delete s;
}

} // namespace

extern "C" {

K740_EXPORT int32_t qmvPluginInit(int32_t interfaceVersion, const char *name) {
    logCall("qmvPluginInit " + std::to_string(interfaceVersion));
#ifdef K740DEMOD_INIT_FAILS
    (void)name;
    return 0;
#else
    if (interfaceVersion != QMV_INTERFACE_VERSION) return 0;
    try {
        hostName() = name ? QString::fromUtf8(name) : QString();
    } catch (...) {
        return 0;
    }
    return ModuleVersion;
#endif
}

K740_EXPORT intptr_t qmvPluginStart(intptr_t hostWindow, void *radioRecord,
                                    QmvHostCallback callback, int32_t *startValue) {
    logCall("qmvPluginStart");
    try {
        endSession();
#ifdef K740DEMOD_NO_WINDOW
        (void)hostWindow;
        (void)radioRecord;
        (void)callback;
        (void)startValue;
        return 0;
#else
        // The window needs the host's widget application on this thread.
        if (!qobject_cast<QApplication *>(QCoreApplication::instance())) return 0;
        session() = new DemodSession(hostWindow, radioRecord, callback, hostName());
        if (startValue) *startValue = 1;
        return session()->windowHandle();
#endif
    } catch (...) {
        return 0;
    }
}

#ifndef K740DEMOD_NO_NOTIFY
K740_EXPORT void qmvPluginNotify(intptr_t, int32_t message, intptr_t value1, intptr_t value2,
                                 intptr_t value3) {
    char line[64];
    std::snprintf(line, sizeof line, "qmvPluginNotify 0x%X %lld", unsigned(message),
                  static_cast<long long>(value1));
    logCall(line);
    try {
        if (!session()) return;
        if (message == QMV_NOTIFY_STOP)
            endSession();
        else
            session()->notify(message, value1, value2, value3);
    } catch (...) {
    }
}
#endif

#ifndef K740DEMOD_NO_DONE
K740_EXPORT void qmvPluginDone(void) {
    logCall("qmvPluginDone");
    try {
        endSession();
        hostName().clear();
    } catch (...) {
    }
}
#endif

K740_EXPORT int32_t k740demodTestCalls(char *buffer, int32_t size) {
    const std::string &log = callLog();
    if (buffer && size > 0) {
        const std::size_t n = std::min(log.size(), std::size_t(size - 1));
        std::memcpy(buffer, log.data(), n);
        buffer[n] = 0;
    }
    return int32_t(log.size());
}

K740_EXPORT void k740demodTestClearCalls(void) {
    callLog().clear();
}

} // extern "C"
