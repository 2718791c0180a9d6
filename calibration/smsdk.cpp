#include "calibration/smsdk.h"

#include "platform/libraryloader.h"

#include <cstring>
#include <memory>
#include <stdexcept>

const char Smsdk::ModelNames[kModelCount][kModelNameSize] = {
    "ZX-K600", "ZX-K610", "ZX-K620", "ZX-K630", "ZX-K640", "ZX-K650",
    "ZX-K660", "ZX-K670", "ZX-K680", "ZX-K690", "ZX-K700", "ZX-K710",
    "ZX-K712", "ZX-K715", "ZX-K720", "ZX-K730", "ZX-K740", "ZX-K750",
};
static_assert(sizeof(Smsdk::ModelNames) == 18 * 8);

namespace {

// The library's own list rule: size query, a buffer of exactly that size,
// count = bytes / width, the buffer freed on return.
template <typename T, typename Query> TSetList<T> ReadList(Query query, bool wholeEntries) {
    TSetList<T> list;
    list.SizeAnswer = query(nullptr, 0);
    if (list.SizeAnswer <= 0) return list;
    const auto bytes = static_cast<size_t>(list.SizeAnswer);
    const size_t count = bytes / sizeof(T);
    auto buffer = std::make_unique<unsigned char[]>(bytes);
    const int32_t size = wholeEntries ? static_cast<int32_t>(count * sizeof(T)) : list.SizeAnswer;
    query(reinterpret_cast<T *>(buffer.get()), size);
    list.Entries.resize(count);
    if (count) std::memcpy(list.Entries.data(), buffer.get(), count * sizeof(T));
    return list;
}

} // namespace

Smsdk &Smsdk::Instance() {
    static Smsdk instance;
    return instance;
}

platform::TResult Smsdk::Load() {
    if (loaded_) return {};
    platform::LibraryHandle library =
        platform::LoadLibraryByName(QString::fromLatin1(kLibraryName));
    if (!library) {
        return platform::TResult::Failure(QStringLiteral(
            "Unable to load dynamic library smetersdk.dll.\nApplication will be terminated."));
    }
    // Every name is looked up before any is tested.
    TSmsdkFunctions found;
    found.LoadCALFile =
        reinterpret_cast<SmsLoadCALFileFn>(platform::GetProcAddress(library, "LoadCALFile"));
    found.Unload = reinterpret_cast<SmsUnloadFn>(platform::GetProcAddress(library, "Unload"));
    found.GetCS = reinterpret_cast<SmsGetCSFn>(platform::GetProcAddress(library, "GetCS"));
    found.PutDBMs = reinterpret_cast<SmsPutDBMsFn>(platform::GetProcAddress(library, "PutDBMs"));
    found.SaveCALFile =
        reinterpret_cast<SmsSaveCALFileFn>(platform::GetProcAddress(library, "SaveCALFile"));
    found.GetModes = reinterpret_cast<SmsGetModesFn>(platform::GetProcAddress(library, "GetModes"));
    found.GetFrequencies =
        reinterpret_cast<SmsGetFrequenciesFn>(platform::GetProcAddress(library, "GetFrequencies"));
    found.DeleteFrequency = reinterpret_cast<SmsDeleteFrequencyFn>(
        platform::GetProcAddress(library, "DeleteFrequency"));
    if (!found.LoadCALFile || !found.Unload || !found.GetCS || !found.PutDBMs ||
        !found.SaveCALFile || !found.GetModes || !found.GetFrequencies || !found.DeleteFrequency) {
        // The library stays loaded, as it would after a successful bind: the
        // program ends right after this message anyway.
        return platform::TResult::Failure(
            QStringLiteral("Bad version of dynamic library smetersdk.dll or file is "
                           "corrupted.\nApplication will be terminated."));
    }
    Functions = found;
    loaded_ = true;
    return {};
}

TSetList<int32_t> Smsdk::ReadModes(int32_t cal, const char *receiver) const {
    return ReadList<int32_t>(
        [&](int32_t *buffer, int32_t size) { return GetModes(cal, receiver, buffer, size); },
        false);
}

TSetList<uint64_t> Smsdk::ReadFrequencies(int32_t cal, const char *receiver, int32_t mode,
                                          ListSize size) const {
    return ReadList<uint64_t>(
        [&](uint64_t *buffer, int32_t bytes) {
            return GetFrequencies(cal, receiver, mode, buffer, bytes);
        },
        size == ListSize::WholeEntries);
}

int32_t Smsdk::GetCSValue(int32_t cal, const char *receiver, int32_t mode, uint64_t frequency,
                          uint8_t raw, double &dbm) const {
    unsigned char cs[SMS_CS_SIZE] = {};
    const int32_t size = SMS_CS_SIZE;
    std::memcpy(cs + SMS_CS_OFFSET_SIZE, &size, sizeof size);
    cs[SMS_CS_OFFSET_RAW] = raw;
    const int32_t result = GetCS(cal, receiver, mode, frequency, cs);
    if (ResultCode(result) == SMS_OK) std::memcpy(&dbm, cs + SMS_CS_OFFSET_DBM, sizeof dbm);
    return result;
}

platform::TResult Smsdk::ReadTable(int32_t cal, const char *receiver, int32_t mode,
                                   uint64_t frequency, TDbmTable &table) const {
    table.fill(0.0);
    for (int raw = 0; raw < SMS_TABLE_SIZE; ++raw) {
        const int32_t result =
            GetCSValue(cal, receiver, mode, frequency, static_cast<uint8_t>(raw), table[raw]);
        if (ResultCode(result) != SMS_OK)
            return platform::TResult::Failure(ErrorMessage(ResultCode(result)));
    }
    return {};
}

int32_t Smsdk::ResultCode(int32_t result) {
    // Handles and byte counts are never codes, even when their low byte
    // would read as one (a list of 248 bytes is not "CAL file not found.").
    if (result >= 0) return result;
    return static_cast<int8_t>(static_cast<uint32_t>(result) & 0xFFu);
}

QString Smsdk::ErrorMessage(int32_t code) {
    switch (code) {
    case -2:
        return QStringLiteral("Was found an dBm value in array that is out of range -140 - 0");
    case -3:
        return QStringLiteral("dBm array is not valid.");
    case -4:
        return QStringLiteral("Specified frequency is not found in calibration table.");
    case -5:
        return QStringLiteral("Error during writing calibration table to file.");
    case -6:
        return QStringLiteral("Specified file name is not valid.");
    case -7:
        return QStringLiteral("Specified receiver is not found in calibration table.");
    case -8:
        return QStringLiteral("CAL file not found.");
    case -9:
        return QStringLiteral("Error during loading CAL file to memory.");
    case -10:
        return QStringLiteral("Invalid CAL handle.");
    case -11:
        return QStringLiteral("Calibration structure has invalid size.");
    case -12:
        return QStringLiteral("Calibration structure is invalid.");
    case -13:
        return QStringLiteral("Receiver name is invalid.");
    case -14:
        return QStringLiteral("Calibration table does not contains requested mode.");
    case -15:
        return QStringLiteral("RAW signal strength value is not within range 0 \u2013 255.");
    case -16:
        return QStringLiteral("Buffer is not valid. Pointer to buffer is NULL.");
    case -17:
        return QStringLiteral("Frequency not found in table.");
    default:
        return {};
    }
}

platform::TResult Smsdk::ResultOf(int32_t result) {
    QString message = ErrorMessage(ResultCode(result));
    if (message.isEmpty()) return {};
    return platform::TResult::Failure(std::move(message));
}

QString Smsdk::ModeText(int32_t mode) {
    if (std::optional<QString> text = FindModeText(mode)) return *text;
    throw std::runtime_error("Unknown mode");
}

std::optional<QString> Smsdk::FindModeText(int32_t mode) {
    if (mode == kDefaultMode) return QStringLiteral("Default mode");
    // Two parallel tables, searched in this order.
    static const int32_t codes[8] = {0, 4, 5, 1, 2, 6, 3, 7};
    static const char *const texts[8] = {
        "CW - Continuous Wave",          "LSB - Lower Side Band",
        "USB - Upper Side Band",         "AM - Amplitude Modulation",
        "FMN - Freq. Modulation,Narrow", "FMM - Freq. Modulation,Medium",
        "FMW - Freq. Modulation,Wide",   "FM6 - Freq. Mod. (6kHz BW)",
    };
    for (int i = 0; i < 8; ++i) {
        if (codes[i] == mode) return QString::fromLatin1(texts[i]);
    }
    return std::nullopt;
}
