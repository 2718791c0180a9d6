#include "app/helpfile.h"

#include "hhctrl.h"
#include "platform/libraryloader.h"
#include "platform/messagebox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>

namespace {

// Process-wide: the component and its entry point live until Close().
platform::LibraryHandle gLibrary = nullptr;
HtmlHelpAFn gHtmlHelp = nullptr;

const QString kFileName = QStringLiteral("K740scalib.chm");

bool Bind(QWidget *owner) {
    if (gHtmlHelp) return true;
    platform::LibraryHandle library = platform::LoadLibraryByName(QStringLiteral(HHCTRL_FILE_NAME));
    if (!library) {
        platform::ShowError(
            owner, QStringLiteral("Unable to load HTML Help component required to view help."));
        return false;
    }
    const auto entry =
        reinterpret_cast<HtmlHelpAFn>(platform::GetProcAddress(library, "HtmlHelpA"));
    if (!entry) {
        platform::UnloadLibrary(library);
        platform::ShowError(
            owner,
            QStringLiteral("Unable to initialise HTML Help component requred to view help."));
        return false;
    }
    gLibrary = library;
    gHtmlHelp = entry;
    std::uint32_t cookie = 0;
    gHtmlHelp(0, nullptr, HH_INITIALIZE, reinterpret_cast<std::uintptr_t>(&cookie));
    return true;
}

} // namespace

QString HelpFile::Path() {
    return QDir::toNativeSeparators(platform::LibrarySearchFolder()) + QDir::separator() +
           kFileName;
}

void HelpFile::Show(QWidget *owner) {
    const QString path = Path();
    const QString missing = QStringLiteral("Unable to load help file '%1'.").arg(path);
    if (!QFileInfo(path).isFile()) {
        platform::ShowError(owner, missing);
        return;
    }
    if (!Bind(owner)) return;
    // The viewer refuses a damaged file without a window; say so rather
    // than leave the press unanswered.
    if (gHtmlHelp(0, QFile::encodeName(path).constData(), HH_DISPLAY_TOPIC, 0) == 0)
        platform::ShowError(owner, missing);
}

void HelpFile::Close() {
    if (!gHtmlHelp) return;
    gHtmlHelp(0, nullptr, HH_CLOSE_ALL, 0);
    gHtmlHelp = nullptr;
    platform::UnloadLibrary(gLibrary);
    gLibrary = nullptr;
}

bool HelpFile::IsLoaded() {
    return gLibrary != nullptr;
}
