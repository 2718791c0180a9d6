// Binding of the software demodulator module "K740Demod.qmv": finding the
// file, loading it, its four entry points and unloading it. The module stays
// loaded across receiver connections; qmvPluginDone is called only by
// Finish() at program end, never on the failure paths' Unload().
#pragma once

#include "k740demod.h"
#include "platform/libraryloader.h"

#include <QString>

#include <cstdint>
#include <optional>

class QWidget;

class QmvModule {
public:
    // A "SearchPath" value or "QMV_PLUGIN_PATH" longer than this is ignored.
    static constexpr qsizetype MaxSearchPathLength = 2048;

    QmvModule() = default;
    ~QmvModule(); // unloads without qmvPluginDone if still loaded
    QmvModule(const QmvModule &) = delete;
    QmvModule &operator=(const QmvModule &) = delete;

    // The module file: the machine key "Software\QMV" value "SearchPath"
    // first, then the environment variable "QMV_PLUGIN_PATH"; a folder value
    // gets the file name appended. Nothing when neither names an existing file.
    static std::optional<QString> Locate();

    // The file within a search folder value; empty when the value is empty.
    static QString ComposePath(const QString &folder);

    bool isLoaded() const { return library_ != nullptr || start_ != nullptr; }

    // Loads and binds the module from a path. On failure shows "Unable to load
    // software demodulator K740Demod.qmv." or, when an entry point other than
    // qmvPluginDone is missing, "Incorrect software demodulator version." (and
    // unloads); answers false. Does nothing and answers true when loaded.
    bool Load(const QString &path, QWidget *owner);

    // Calls qmvPluginInit once per load; false when it answers 0 (the module
    // stays loaded; the caller unloads it).
    bool Initialise();
    bool isInitialised() const { return initialised_; }
    std::int32_t initResult() const { return initResult_; }

    // qmvPluginStart; 0 when not loaded.
    std::intptr_t Start(std::intptr_t hostWindow, void *radioRecord, QmvHostCallback callback,
                        std::int32_t *startValue);

    // qmvPluginNotify when bound; otherwise nothing.
    void Notify(std::intptr_t hostWindow, std::int32_t message, std::intptr_t value1 = 0,
                std::intptr_t value2 = 0, std::intptr_t value3 = 0);
    bool isNotifyBound() const { return notify_ != nullptr; }
    bool isDoneBound() const { return done_ != nullptr; }

    // Frees the library without qmvPluginDone (failed opens).
    void Unload();

    // Program end: qmvPluginDone if bound, then Unload().
    void Finish();

    using InitFunction = QmvPluginInitFn;
    using StartFunction = QmvPluginStartFn;
    using NotifyFunction = QmvPluginNotifyFn;
    using DoneFunction = QmvPluginDoneFn;
    struct EntryPoints {
        InitFunction init = nullptr;
        StartFunction start = nullptr;
        NotifyFunction notify = nullptr;
        DoneFunction done = nullptr;
    };

    // Binds entry points that live in the program itself instead of a loaded
    // library (a module linked in, or a test's stand-in). Unload() forgets them.
    void BindEntryPoints(const EntryPoints &entries);

private:
    void bind(platform::LibraryHandle library, const EntryPoints &entries);

    platform::LibraryHandle library_ = nullptr;
    InitFunction init_ = nullptr;
    StartFunction start_ = nullptr;
    NotifyFunction notify_ = nullptr;
    DoneFunction done_ = nullptr;
    bool initialised_ = false;
    std::int32_t initResult_ = 0;
};
