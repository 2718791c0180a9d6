// Loading the receiver maker's components by plain file name.
//
// A plain name ("smetersdk.dll") is looked for first in the executable's own
// folder, then through the system's normal search (LD_LIBRARY_PATH, ...), the
// way the Windows loader does it. A name with a folder in it is loaded as it
// stands. Tests can point the first step at another folder.
#pragma once

#include <QString>

namespace platform {

using LibraryHandle = void *;

// Loads a library; nullptr when it cannot be found or loaded. Every successful
// load must be matched by one UnloadLibrary.
LibraryHandle LoadLibraryByName(const QString &fileName);

// A library that the process has loaded already (a component's own
// dependency, say), found by its plain file name; nullptr when it is not
// loaded. It is never loaded by this. A handle found must be matched by one
// UnloadLibrary.
LibraryHandle FindLoadedLibrary(const QString &fileName);

// The address of an exported symbol, or nullptr.
void *GetProcAddress(LibraryHandle library, const char *name);

// Drops one reference to the library; nullptr is ignored.
void UnloadLibrary(LibraryHandle library);

// The folder searched first for plain names: the executable's folder unless a
// test has set another one. An empty folder restores the default.
QString LibrarySearchFolder();
void SetLibrarySearchFolder(const QString &folder);

// The text of the last load failure, for diagnostics.
QString LastLoadError();

} // namespace platform
