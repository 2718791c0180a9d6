// Binding of the software demodulator module "K740Demod.qmv": finding the
// file, loading it, its four entry points and unloading it. The module stays
// loaded across receiver connections; qmvPluginDone is called only by
// Finish() at program end, never on the failure paths' Unload().
#pragma once

#include "k740demod.h"
#include "platform/libraryloader.h"
#include "platform/result.h"

#include <QString>

#include <cstdint>
#include <optional>

class TQmvModule {
public:
    // A "SearchPath" value or "QMV_PLUGIN_PATH" longer than this is ignored.
    static constexpr qsizetype kMaxSearchPathLength = 2048;

    TQmvModule() = default;
    ~TQmvModule(); // unloads without qmvPluginDone if still loaded
    TQmvModule(const TQmvModule &) = delete;
    TQmvModule &operator=(const TQmvModule &) = delete;

    // The module file: the machine key "Software\QMV" value "SearchPath"
    // first, then the environment variable "QMV_PLUGIN_PATH"; a folder value
    // gets the file name appended. Nothing when neither names an existing file.
    static std::optional<QString> Locate();

    bool IsLoaded() const { return library_ != nullptr || start_ != nullptr; }

    // Loads and binds the module from a path; does nothing and succeeds when
    // loaded. Fails with "Unable to load software demodulator K740Demod.qmv."
    // or, when an entry point other than qmvPluginDone is missing, with
    // "Incorrect software demodulator version."; the library of the second
    // is unloaded when the result goes, after its message was shown.
    platform::TResult Load(const QString &path);

    // Calls qmvPluginInit once per load and keeps its result; false when it
    // answers 0 (the module stays loaded; the caller unloads it).
    bool Initialise();
    bool IsInitialised() const { return initialised_; }

    // qmvPluginStart; 0 when not loaded.
    std::intptr_t Start(std::intptr_t hostWindow, void *radioRecord, QmvHostCallback callback,
                        std::int32_t *startValue);

    // qmvPluginNotify when bound; otherwise nothing.
    void Notify(std::intptr_t hostWindow, std::int32_t message, std::intptr_t value1 = 0,
                std::intptr_t value2 = 0, std::intptr_t value3 = 0);
    bool IsNotifyBound() const { return notify_ != nullptr; }

    // Frees the library without qmvPluginDone (failed opens).
    void Unload();

    // Program end: qmvPluginDone if bound, then Unload().
    void Finish();

    struct EntryPoints {
        QmvPluginInitFn Init = nullptr;
        QmvPluginStartFn Start = nullptr;
        QmvPluginNotifyFn Notify = nullptr;
        QmvPluginDoneFn Done = nullptr;
    };

    // Binds entry points that live in the program itself instead of a loaded
    // library (a module linked in, or a test's stand-in). Unload() forgets them.
    void BindEntryPoints(const EntryPoints &entries);

private:
    void Bind(platform::LibraryHandle library, const EntryPoints &entries);

    platform::LibraryHandle library_ = nullptr;
    QmvPluginInitFn init_ = nullptr;
    QmvPluginStartFn start_ = nullptr;
    QmvPluginNotifyFn notify_ = nullptr;
    QmvPluginDoneFn done_ = nullptr;
    bool initialised_ = false;
    // The last successful qmvPluginInit's answer: kept, not otherwise used.
    std::int32_t initResult_ = 0;
};
