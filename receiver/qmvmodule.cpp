#include "receiver/qmvmodule.h"

#include "platform/application.h"
#include "platform/registry.h"

#include <QFileInfo>

namespace {

const QString kFileName = QStringLiteral(QMV_MODULE_FILE_NAME);

bool IsSeparator(QChar c) {
#ifdef Q_OS_WIN
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
#else
    return c == QLatin1Char('/');
#endif
}

// The file within a search folder value; empty when the value is empty.
QString ComposePath(const QString &folder) {
    if (folder.isEmpty()) return {};
    QString path = folder;
    if (!IsSeparator(path.back())) path += QLatin1Char('/');
    return path + kFileName;
}

// A folder value that names the module file, or nothing.
std::optional<QString> LocateIn(const QString &folder) {
    if (folder.size() > TQmvModule::kMaxSearchPathLength) return std::nullopt;
    const QString path = ComposePath(folder);
    if (path.isEmpty() || !QFileInfo(path).isFile()) return std::nullopt;
    return path;
}

template <typename Function> Function LookUp(platform::LibraryHandle library, const char *name) {
    return reinterpret_cast<Function>(platform::GetProcAddress(library, name));
}

} // namespace

TQmvModule::~TQmvModule() {
    Unload();
}

std::optional<QString> TQmvModule::Locate() {
    {
        const auto key = platform::OpenMachineQmvKey();
        if (key->status() == QSettings::NoError) {
            const auto value = platform::ReadString(*key, QStringLiteral("SearchPath"));
            if (key->status() == QSettings::NoError && value) {
                if (auto path = LocateIn(*value)) return path;
            }
        }
    }
    const QString folder = qEnvironmentVariable("QMV_PLUGIN_PATH");
    return LocateIn(folder);
}

platform::TResult TQmvModule::Load(const QString &path) {
    if (IsLoaded()) return {};
    platform::LibraryHandle library = platform::LoadLibraryByName(path);
    if (!library) {
        return platform::TResult::Failure(
            QStringLiteral("Unable to load software demodulator " QMV_MODULE_FILE_NAME "."));
    }
    const auto init = LookUp<QmvPluginInitFn>(library, "qmvPluginInit");
    const auto start = LookUp<QmvPluginStartFn>(library, "qmvPluginStart");
    const auto notify = LookUp<QmvPluginNotifyFn>(library, "qmvPluginNotify");
    const auto done = LookUp<QmvPluginDoneFn>(library, "qmvPluginDone");
    if (!init || !start || !notify) {
        return platform::TResult::Failure(QStringLiteral("Incorrect software demodulator version."),
                                          [library] { platform::UnloadLibrary(library); });
    }
    Bind(library, {init, start, notify, done});
    return {};
}

void TQmvModule::BindEntryPoints(const EntryPoints &entries) {
    Unload();
    Bind(nullptr, entries);
}

void TQmvModule::Bind(platform::LibraryHandle library, const EntryPoints &entries) {
    library_ = library;
    init_ = entries.Init;
    start_ = entries.Start;
    notify_ = entries.Notify;
    done_ = entries.Done;
    initialised_ = false;
    initResult_ = 0;
}

bool TQmvModule::Initialise() {
    if (!init_) return false;
    const QByteArray host = platform::Application::title().toUtf8();
    const std::int32_t result = init_(QMV_INTERFACE_VERSION, host.constData());
    if (result == 0) return false;
    initResult_ = result;
    initialised_ = true;
    return true;
}

std::intptr_t TQmvModule::Start(std::intptr_t hostWindow, void *radioRecord,
                                QmvHostCallback callback, std::int32_t *startValue) {
    if (!start_) return 0;
    return start_(hostWindow, radioRecord, callback, startValue);
}

void TQmvModule::Notify(std::intptr_t hostWindow, std::int32_t message, std::intptr_t value1,
                        std::intptr_t value2, std::intptr_t value3) {
    if (notify_) notify_(hostWindow, message, value1, value2, value3);
}

void TQmvModule::Unload() {
    if (library_) platform::UnloadLibrary(library_);
    library_ = nullptr;
    init_ = nullptr;
    start_ = nullptr;
    notify_ = nullptr;
    done_ = nullptr;
    initialised_ = false;
}

void TQmvModule::Finish() {
    if (IsLoaded() && done_) done_();
    Unload();
}
