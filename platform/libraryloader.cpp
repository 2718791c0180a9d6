#include "platform/libraryloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <dlfcn.h>

namespace platform {

namespace {
QString &searchFolderOverride() {
    static QString folder;
    return folder;
}
QString &lastError() {
    static QString error;
    return error;
}

LibraryHandle openPath(const QString &path) {
    dlerror();
    LibraryHandle handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char *error = dlerror();
        lastError() = QString::fromLocal8Bit(error ? error : "unknown error");
    }
    return handle;
}
} // namespace

QString LibrarySearchFolder() {
    if (!searchFolderOverride().isEmpty())
        return searchFolderOverride();
    return QCoreApplication::applicationDirPath();
}

void SetLibrarySearchFolder(const QString &folder) { searchFolderOverride() = folder; }

LibraryHandle LoadLibraryByName(const QString &fileName) {
    if (fileName.isEmpty()) {
        lastError() = QStringLiteral("empty file name");
        return nullptr;
    }
    if (fileName.contains(QLatin1Char('/')))
        return openPath(fileName);

    const QString local = QDir(LibrarySearchFolder()).filePath(fileName);
    if (QFileInfo::exists(local))
        return openPath(local);
    // dlopen searches LD_LIBRARY_PATH and the system folders for a name
    // without a slash.
    return openPath(fileName);
}

LibraryHandle FindLoadedLibrary(const QString &fileName) {
    if (fileName.isEmpty() || fileName.contains(QLatin1Char('/')))
        return nullptr;
    return dlopen(QFile::encodeName(fileName).constData(), RTLD_LAZY | RTLD_NOLOAD);
}

void *GetProcAddress(LibraryHandle library, const char *name) {
    if (!library || !name)
        return nullptr;
    return dlsym(library, name);
}

void UnloadLibrary(LibraryHandle library) {
    if (library)
        dlclose(library);
}

QString LastLoadError() { return lastError(); }

} // namespace platform
