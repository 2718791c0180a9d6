// Binding of the calibration library smetersdk.dll.
//
// The program never reads or writes a calibration file itself: every load,
// save, read and change of a calibration set goes through the eight entry
// points bound here. The library is loaded once, by plain file name (the
// executable's folder first, see platform/libraryloader.h), and stays loaded
// until the process ends.
//
// Nothing here shows a message box: the thin calls answer the library's
// result, the operations of several calls answer a platform::TResult whose
// message the windows show and k740cal prints. Typical use:
//
//     Smsdk &sdk = Smsdk::Instance();
//     if (platform::TResult bound = sdk.Load(); !bound)
//         return report(bound.Message());           // the start-up message
//     int32_t cal = sdk.LoadCALFile(nullptr);       // New never fails
//     platform::TResult put =
//         Smsdk::ResultOf(sdk.PutDBMs(cal, Smsdk::kReceiverName, mode, fq, table));
//     if (!put) return report(put.Message());       // the library's message
#pragma once

#include "k740demod.h"
#include "platform/result.h"
#include "smetersdk.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The eight entry points, in the order in which they are looked up.
struct TSmsdkFunctions {
    SmsLoadCALFileFn LoadCALFile = nullptr;
    SmsUnloadFn Unload = nullptr;
    SmsGetCSFn GetCS = nullptr;
    SmsPutDBMsFn PutDBMs = nullptr;
    SmsSaveCALFileFn SaveCALFile = nullptr;
    SmsGetModesFn GetModes = nullptr;
    SmsGetFrequenciesFn GetFrequencies = nullptr;
    SmsDeleteFrequencyFn DeleteFrequency = nullptr;
};

// 256 dBm values, index = RAW value, as they pass to and from the library.
using TDbmTable = std::array<double, SMS_TABLE_SIZE>;

// A list read from a set (modes or frequency points): what the size query
// answered (a byte count; 0 or less, possibly a result code, for none) and
// the entries read.
template <typename T> struct TSetList {
    int32_t SizeAnswer = 0;
    std::vector<T> Entries;
};

class Smsdk {
public:
    static constexpr const char *kLibraryName = "smetersdk.dll";

    // The receiver model name under which the main window reads and writes.
    static constexpr const char *kReceiverName = "ZX-K740";
    // The model-name table: 18 fixed 8-byte fields (7 characters and a zero),
    // in the order the dialogs ask the library about them. Entry 16 is
    // kReceiverName.
    static constexpr int kModelCount = 18;
    static constexpr int kModelNameSize = 8;
    static const char ModelNames[kModelCount][kModelNameSize];

    static constexpr int32_t kDefaultMode = SMS_MODE_DEFAULT;

    // The process-wide binding the program uses.
    static Smsdk &Instance();

    // Binds the library at start-up: loads kLibraryName, looks up the eight
    // names, and succeeds only if all were found. On failure the message is
    // "Unable to load ..." or "Bad version ...", which the program shows in
    // an error box without owner, titled with the application title, and
    // every entry point stays null. Once bound, further calls succeed without
    // loading again.
    platform::TResult Load();
    bool IsLoaded() const { return loaded_; }

    // The bound entry points. Tests may replace them with fakes.
    TSmsdkFunctions Functions;

    // Thin calls of the entry points (the binding must be loaded).
    int32_t LoadCALFile(const char *fileName) const { return Functions.LoadCALFile(fileName); }
    int32_t Unload(int32_t cal) const { return Functions.Unload(cal); }
    int32_t GetCS(int32_t cal, const char *receiver, int32_t mode, uint64_t frequency,
                  void *cs) const {
        return Functions.GetCS(cal, receiver, mode, frequency, cs);
    }
    int32_t PutDBMs(int32_t cal, const char *receiver, int32_t mode, uint64_t frequency,
                    const double *dbm) const {
        return Functions.PutDBMs(cal, receiver, mode, frequency, dbm);
    }
    int32_t SaveCALFile(int32_t cal, const char *fileName) const {
        return Functions.SaveCALFile(cal, fileName);
    }
    int32_t GetModes(int32_t cal, const char *receiver, int32_t *buffer, int32_t size) const {
        return Functions.GetModes(cal, receiver, buffer, size);
    }
    int32_t GetFrequencies(int32_t cal, const char *receiver, int32_t mode, uint64_t *buffer,
                           int32_t size) const {
        return Functions.GetFrequencies(cal, receiver, mode, buffer, size);
    }
    int32_t DeleteFrequency(int32_t cal, const char *receiver, int32_t mode,
                            uint64_t frequency) const {
        return Functions.DeleteFrequency(cal, receiver, mode, frequency);
    }

    // One GetCS with a calibration structure built here: answers the result,
    // and on success sets dbm to the table value for raw.
    int32_t GetCSValue(int32_t cal, const char *receiver, int32_t mode, uint64_t frequency,
                       uint8_t raw, double &dbm) const;

    // Reading a list, the one way every caller reads one: the size query;
    // if it answers more than 0, a buffer of exactly that many bytes, the
    // call with that buffer and size, count = bytes / entry width (remainder
    // dropped), the buffer freed on return. A size query of 0 or less reads
    // nothing more. WholeEntries passes count * 8 as the size of the second
    // call (the main window's point list refresh does so).
    enum class ListSize { Exact, WholeEntries };
    TSetList<int32_t> ReadModes(int32_t cal, const char *receiver) const;
    TSetList<uint64_t> ReadFrequencies(int32_t cal, const char *receiver, int32_t mode,
                                       ListSize size = ListSize::Exact) const;

    // Reading a translation table: GetCS for RAW 0 to 255 in order. The first
    // result other than success stops the reading and fails with its message;
    // table then holds the values read so far followed by zeros.
    platform::TResult ReadTable(int32_t cal, const char *receiver, int32_t mode, uint64_t frequency,
                                TDbmTable &table) const;

    // The library result code of a result: its low 8 bits read as signed.
    // Results of 0 or more (handles, byte counts) are not codes and answer
    // themselves.
    static int32_t ResultCode(int32_t result);
    // The message of a code -17..-2, or an empty text for any other value.
    static QString ErrorMessage(int32_t code);
    // A result as the callers of PutDBMs and DeleteFrequency judge it: a
    // failure with its message for every result that has one; success for
    // every other (success, 0, handles and counts).
    static platform::TResult ResultOf(int32_t result);

    // The text of a mode code, or nothing for a code without one.
    static std::optional<QString> FindModeText(int32_t mode);
    // The text of a mode code; throws std::runtime_error("Unknown mode") for a
    // code without one, which the windows' standard error box shows.
    static QString ModeText(int32_t mode);

    // The mode code under which the set is read and written while the
    // receiver runs in currentMode: wide FM has its own tables, every other
    // mode shares the default mode's.
    static int32_t CalibrationMode(int32_t currentMode) {
        return currentMode == QMV_MODE_FM_WIDE ? QMV_MODE_FM_WIDE : kDefaultMode;
    }

private:
    bool loaded_ = false;
};
