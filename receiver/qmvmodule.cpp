#include "receiver/qmvmodule.h"

#include "platform/application.h"
#include "platform/messagebox.h"
#include "platform/registry.h"

#include <QFileInfo>

namespace {

const QString FileName = QStringLiteral(QMV_MODULE_FILE_NAME);

bool isSeparator(QChar c) {
#ifdef Q_OS_WIN
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
#else
    return c == QLatin1Char('/');
#endif
}

// A folder value that names the module file, or nothing.
std::optional<QString> locateIn(const QString &folder) {
    if (folder.size() > QmvModule::MaxSearchPathLength) return std::nullopt;
    const QString path = QmvModule::ComposePath(folder);
    if (path.isEmpty() || !QFileInfo(path).isFile()) return std::nullopt;
    return path;
}

template <typename Function> Function lookUp(platform::LibraryHandle library, const char *name) {
    return reinterpret_cast<Function>(platform::GetProcAddress(library, name));
}

} // namespace

QmvModule::~QmvModule() {
    Unload();
}

QString QmvModule::ComposePath(const QString &folder) {
    if (folder.isEmpty()) return {};
    QString path = folder;
    if (!isSeparator(path.back())) path += QLatin1Char('/');
    return path + FileName;
}

std::optional<QString> QmvModule::Locate() {
    {
        const auto key = platform::OpenMachineQmvKey();
        if (key->status() == QSettings::NoError) {
            const auto value = platform::ReadString(*key, QStringLiteral("SearchPath"));
            if (key->status() == QSettings::NoError && value) {
                if (auto path = locateIn(*value)) return path;
            }
        }
    }
    const QString folder = qEnvironmentVariable("QMV_PLUGIN_PATH");
    return locateIn(folder);
}

bool QmvModule::Load(const QString &path, QWidget *owner) {
    if (isLoaded()) return true;
    platform::LibraryHandle library = platform::LoadLibraryByName(path);
    if (!library) {
        platform::ShowError(
            owner, QStringLiteral("Unable to load software demodulator " QMV_MODULE_FILE_NAME "."));
        return false;
    }
    const auto init = lookUp<InitFunction>(library, "qmvPluginInit");
    const auto start = lookUp<StartFunction>(library, "qmvPluginStart");
    const auto notify = lookUp<NotifyFunction>(library, "qmvPluginNotify");
    const auto done = lookUp<DoneFunction>(library, "qmvPluginDone");
    if (!init || !start || !notify) {
        platform::ShowError(owner, QStringLiteral("Incorrect software demodulator version."));
        platform::UnloadLibrary(library);
        return false;
    }
    bind(library, {init, start, notify, done});
    return true;
}

void QmvModule::BindEntryPoints(const EntryPoints &entries) {
    Unload();
    bind(nullptr, entries);
}

void QmvModule::bind(platform::LibraryHandle library, const EntryPoints &entries) {
    library_ = library;
    init_ = entries.init;
    start_ = entries.start;
    notify_ = entries.notify;
    done_ = entries.done;
    initialised_ = false;
    initResult_ = 0;
}

bool QmvModule::Initialise() {
    if (!init_) return false;
    const QByteArray host = platform::Application::title().toUtf8();
    const std::int32_t result = init_(QMV_INTERFACE_VERSION, host.constData());
    if (result == 0) return false;
    initResult_ = result;
    initialised_ = true;
    return true;
}

std::intptr_t QmvModule::Start(std::intptr_t hostWindow, void *radioRecord,
                               QmvHostCallback callback, std::int32_t *startValue) {
    if (!start_) return 0;
    return start_(hostWindow, radioRecord, callback, startValue);
}

void QmvModule::Notify(std::intptr_t hostWindow, std::int32_t message, std::intptr_t value1,
                       std::intptr_t value2, std::intptr_t value3) {
    if (notify_) notify_(hostWindow, message, value1, value2, value3);
}

void QmvModule::Unload() {
    if (library_) platform::UnloadLibrary(library_);
    library_ = nullptr;
    init_ = nullptr;
    start_ = nullptr;
    notify_ = nullptr;
    done_ = nullptr;
    initialised_ = false;
}

void QmvModule::Finish() {
    if (isLoaded() && done_) done_();
    Unload();
}
