// The one calibration set that a program edits, without any widget: its CAL
// handle, the loaded, new-file and modified flags and the file name, and the
// operations on it. The set itself lives inside the calibration library;
// every change is written there at once, so the modified flag only records
// that the file on disk is behind.
//
// All reads and writes are under the receiver name "ZX-K740"; the caller
// passes the calibration mode (Smsdk::CalibrationMode of the current mode).
// The library must be bound (Smsdk::Instance().Load()). Nothing here shows a
// message: an operation that fails answers the library's message in its
// result, for the main window to show or a console program to print.
#pragma once

#include "calibration/smsdk.h"
#include "platform/result.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class TCalDocument {
public:
    static constexpr const char *kNewFileName = "New.cal";

    TCalDocument() = default;
    TCalDocument(const TCalDocument &) = delete;
    TCalDocument &operator=(const TCalDocument &) = delete;

    bool IsLoaded() const { return loaded_; }
    bool IsNewFile() const { return newFile_; }
    bool IsModified() const { return modified_; }
    const QString &FileName() const { return fileName_; }
    // Valid while IsLoaded().
    std::int32_t Handle() const { return handle_; }
    // Whether dropping the set would lose changes (the guards' question).
    bool HasUnsavedChanges() const { return loaded_ && modified_; }

    // Replaces the set by a new, empty one named "New.cal".
    void New();
    // Replaces the set by the file's. The file is read first and the open
    // set released only once it has loaded: when the file does not load, the
    // open set, its flags and its file name stay as they were and the answer
    // is "Error during loading CAL file to memory.".
    platform::TResult Open(const QString &fileName);
    // Writes the whole set. On success the file name becomes `fileName` and
    // the set is no longer modified; the new-file flag stays. Any result of
    // the library but success is a failure with the library's message.
    platform::TResult Save(const QString &fileName);
    // Releases the set without saving it (closing the receiver). A set still
    // open when the document goes stays in the library until the process ends.
    void Close();

    void SetModified(bool modified) { modified_ = modified; }

    // The frequency points of a mode, as the point list reads them.
    std::vector<std::uint64_t> Points(std::int32_t mode) const;
    // A point's 256 values; fails at the first read the library refuses.
    platform::TResult ReadTable(std::int32_t mode, std::uint64_t frequency, TDbmTable &table) const;
    // Creates or replaces a point's table and marks the set modified.
    platform::TResult WriteTable(std::int32_t mode, std::uint64_t frequency,
                                 const TDbmTable &table);
    // Removes a point with its table and marks the set modified.
    platform::TResult DeletePoint(std::int32_t mode, std::uint64_t frequency);
    // The table value of `raw` at a point; nothing when the set has no such
    // point, or no set is open.
    std::optional<double> Dbm(std::int32_t mode, std::uint64_t frequency, std::uint8_t raw) const;

private:
    void Release();

    std::int32_t handle_ = -1;
    bool loaded_ = false;
    bool newFile_ = false;
    bool modified_ = false;
    QString fileName_;
};
