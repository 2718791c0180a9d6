#include "receiver/k74xapi.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

QString FieldText(const std::uint8_t *field, std::size_t size) {
    // The text ends at its first zero or at the end of its field, whichever
    // comes first; a library that leaves out the zero gets no further.
    const void *zero = std::memchr(field, 0, size);
    const std::size_t length =
        zero ? std::size_t(static_cast<const std::uint8_t *>(zero) - field) : size;
    return QString::fromLatin1(reinterpret_cast<const char *>(field), qsizetype(length));
}

template <typename Function>
bool Resolve(platform::LibraryHandle library, const char *name, Function &slot) {
    slot = reinterpret_cast<Function>(platform::GetProcAddress(library, name));
    return slot != nullptr;
}

} // namespace

QString K74xapi::Description::Serial() const {
    return FieldText(Bytes.data() + K7_DESC_SERIAL, K7_DESC_TEXT_SIZE);
}

QString K74xapi::Description::DeviceType() const {
    return FieldText(Bytes.data() + K7_DESC_DEVICE_TYPE, K7_DESC_TEXT_SIZE);
}

std::uint32_t K74xapi::Description::Lowest() const {
    return qFromLittleEndian<quint32>(Bytes.data() + K7_DESC_LOWEST);
}

std::uint32_t K74xapi::Description::Highest() const {
    return qFromLittleEndian<quint32>(Bytes.data() + K7_DESC_HIGHEST);
}

bool K74xapi::Description::IsUsb() const {
    return DeviceType().contains(QLatin1String("USB"), Qt::CaseInsensitive);
}

K74xapi::Description K74xapi::Description::FromBytes(const std::uint8_t *record) {
    Description d;
    std::memcpy(d.Bytes.data(), record, kDescriptionSize);
    return d;
}

K74xapi::LevelConstants K74xapi::LevelConstants::FromEeprom(const Eeprom &eeprom) {
    const std::uint8_t *p = eeprom.data();
    const std::uint16_t high = qFromLittleEndian<quint16>(p + K7_EEP_AGC_HIGH);
    const std::uint16_t knee = qFromLittleEndian<quint16>(p + K7_EEP_AGC_KNEE);
    const std::uint16_t low = qFromLittleEndian<quint16>(p + K7_EEP_AGC_LOW);
    const std::int16_t term = qFromLittleEndian<qint16>(p + K7_EEP_LOW_GAIN_TERM);
    const std::uint16_t reference = qFromLittleEndian<quint16>(p + K7_EEP_REFERENCE_GAIN);
    const bool valid = reference >= 600 && reference <= 850 && high > knee && knee > low &&
                       low >= 300 && high <= 990 && term >= -950 && term <= -700;
    if (!valid) return LevelConstants{};
    return LevelConstants{high, knee, low, term, reference};
}

bool K74xapi::Bind() {
    if (library_) return true;
    platform::LibraryHandle library =
        platform::LoadLibraryByName(QString::fromLatin1(kLibraryName));
    if (!library) return false;
    Functions f;
    const bool complete =
        Resolve(library, "K7GetRadioList2", f.K7GetRadioList2) &&
        Resolve(library, "GetFrequency", f.GetFrequency) &&
        Resolve(library, "SetPower", f.SetPower) &&
        Resolve(library, "CloseRadioDevice", f.CloseRadioDevice) &&
        Resolve(library, "SetFrequency", f.SetFrequency) && Resolve(library, "K7Open", f.K7Open) &&
        Resolve(library, "K7GetInfo", f.K7GetInfo) &&
        Resolve(library, "K7GetInternalRSSI", f.K7GetInternalRSSI) &&
        Resolve(library, "K7GetEEP", f.K7GetEEP) &&
        Resolve(library, "GetRawSignalStrength", f.GetRawSignalStrength) &&
        Resolve(library, "SetAGC", f.SetAGC) && Resolve(library, "SetAtten", f.SetAtten) &&
        Resolve(library, "SetFilterVal", f.SetFilterVal) &&
        Resolve(library, "SetRFAmp", f.SetRFAmp);
    if (!complete) {
        platform::UnloadLibrary(library);
        return false;
    }
    library_ = library;
    f_ = f;
    return true;
}

std::vector<K74xapi::Description> K74xapi::ReadRadioList() const {
    std::vector<Description> list;
    if (!library_) return list;
    std::vector<std::uint8_t> buffer(std::size_t(kListBufferSize), 0);
    std::uint32_t recordSize = 0;
    const std::int32_t count = f_.K7GetRadioList2(buffer.data(), kListBufferSize, &recordSize);
    if (recordSize != kDescriptionSize) return list;
    // The count comes from outside: the buffer holds 64 records, no more.
    const std::int32_t used = std::clamp(count, 0, kMaxListed);
    list.reserve(std::size_t(used));
    for (std::int32_t i = 0; i < used; ++i)
        list.push_back(Description::FromBytes(buffer.data() + std::size_t(i) * kDescriptionSize));
    return list;
}

std::int32_t K74xapi::Open(const QString &serial) const {
    if (!library_) return 0;
    if (serial.isEmpty()) return f_.K7Open(nullptr);
    const QByteArray text = serial.toLatin1();
    return f_.K7Open(text.constData());
}

bool K74xapi::GetEEP(std::int32_t handle, Eeprom &eeprom) const {
    return library_ && f_.K7GetEEP(handle, eeprom.data()) != 0;
}

K74xapi::Description K74xapi::GetInfo(std::int32_t handle) const {
    Description d;
    qToLittleEndian<quint32>(quint32(kDescriptionSize), d.Bytes.data());
    if (library_) f_.K7GetInfo(handle, d.Bytes.data());
    return d;
}

void K74xapi::SetPower(std::int32_t handle, std::int32_t on) const {
    if (library_) f_.SetPower(handle, on);
}

void K74xapi::SetAGC(std::int32_t handle, std::int32_t agc) const {
    if (library_) f_.SetAGC(handle, agc);
}

void K74xapi::SetRFAmp(std::int32_t handle, std::int32_t amp) const {
    if (library_) f_.SetRFAmp(handle, amp);
}

void K74xapi::SetFilterVal(std::int32_t handle, std::int32_t filter) const {
    if (library_) f_.SetFilterVal(handle, filter);
}

void K74xapi::SetAtten(std::int32_t handle, std::int32_t atten) const {
    if (library_) f_.SetAtten(handle, atten);
}

void K74xapi::SetFrequency(std::int32_t handle, std::uint32_t word) const {
    if (library_) f_.SetFrequency(handle, word);
}

std::uint32_t K74xapi::GetFrequency(std::int32_t handle) const {
    return library_ ? f_.GetFrequency(handle) : 0;
}

std::int32_t K74xapi::GetRawSignalStrength(std::int32_t handle) const {
    return library_ ? f_.GetRawSignalStrength(handle) : 0;
}

std::uint32_t K74xapi::GetInternalRSSI(std::int32_t handle) const {
    return library_ ? f_.K7GetInternalRSSI(handle) : 0;
}

std::int32_t K74xapi::GetAgcReading(std::int32_t handle) const {
    return std::int32_t(GetInternalRSSI(handle) >> 16);
}

void K74xapi::CloseRadioDevice(std::int32_t handle) const {
    if (library_) f_.CloseRadioDevice(handle);
}
