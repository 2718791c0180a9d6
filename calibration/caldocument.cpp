#include "calibration/caldocument.h"

#include <QFile>

namespace {
Smsdk &Sdk() {
    return Smsdk::Instance();
}
} // namespace

void TCalDocument::Release() {
    if (loaded_) Sdk().Unload(handle_);
    loaded_ = false;
    handle_ = -1;
}

void TCalDocument::New() {
    Release();
    // The library always makes a new set.
    handle_ = Sdk().LoadCALFile(nullptr);
    loaded_ = true;
    newFile_ = true;
    modified_ = false;
    fileName_ = QString::fromLatin1(kNewFileName);
}

platform::TResult TCalDocument::Open(const QString &fileName) {
    const std::int32_t handle = Sdk().LoadCALFile(QFile::encodeName(fileName).constData());
    if (handle < 0)
        return platform::TResult::Failure(
            QStringLiteral("Error during loading CAL file to memory."));
    Release();
    handle_ = handle;
    loaded_ = true;
    newFile_ = false;
    modified_ = false;
    fileName_ = fileName;
    return {};
}

platform::TResult TCalDocument::Save(const QString &fileName) {
    const std::int32_t result = Sdk().SaveCALFile(handle_, QFile::encodeName(fileName).constData());
    const std::int32_t code = Smsdk::ResultCode(result);
    if (code != SMS_OK) return platform::TResult::Failure(Smsdk::ErrorMessage(code));
    fileName_ = fileName;
    modified_ = false;
    return {};
}

void TCalDocument::Close() {
    Release();
}

std::vector<std::uint64_t> TCalDocument::Points(std::int32_t mode) const {
    if (!loaded_) return {};
    return Sdk()
        .ReadFrequencies(handle_, Smsdk::kReceiverName, mode, Smsdk::ListSize::WholeEntries)
        .Entries;
}

platform::TResult TCalDocument::ReadTable(std::int32_t mode, std::uint64_t frequency,
                                          TDbmTable &table) const {
    return Sdk().ReadTable(handle_, Smsdk::kReceiverName, mode, frequency, table);
}

platform::TResult TCalDocument::WriteTable(std::int32_t mode, std::uint64_t frequency,
                                           const TDbmTable &table) {
    platform::TResult result = Smsdk::ResultOf(
        Sdk().PutDBMs(handle_, Smsdk::kReceiverName, mode, frequency, table.data()));
    if (result) modified_ = true;
    return result;
}

platform::TResult TCalDocument::DeletePoint(std::int32_t mode, std::uint64_t frequency) {
    platform::TResult result =
        Smsdk::ResultOf(Sdk().DeleteFrequency(handle_, Smsdk::kReceiverName, mode, frequency));
    if (result) modified_ = true;
    return result;
}

std::optional<double> TCalDocument::Dbm(std::int32_t mode, std::uint64_t frequency,
                                        std::uint8_t raw) const {
    if (!loaded_) return std::nullopt;
    double dbm = 0;
    const std::int32_t result =
        Sdk().GetCSValue(handle_, Smsdk::kReceiverName, mode, frequency, raw, dbm);
    if (Smsdk::ResultCode(result) != SMS_OK) return std::nullopt;
    return dbm;
}
